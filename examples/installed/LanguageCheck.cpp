// Built into the installed host, whose project names no C++ standard: the package's
// orvex::orvex target must make it C++17, as the records it receives need.
static_assert(__cplusplus >= 201703L, "orvex::orvex does not make its hosts C++17");
