/* orvex_c.h compiled as C99 (-pedantic-errors -Werror), with its struct layout pinned. */
#include "StructLayout.h"

/* A translation unit needs a declaration beyond typedefs to be a C program of its own. */
int orvexHeaderCompilesAsC(void);

int orvexHeaderCompilesAsC(void) {
  orvex_page_info info = {
      sizeof(orvex_page_info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0F, 0.0F, 0, NULL, 0, 0, 0, 0};
  return (int)info.struct_size;
}
