// The declarations of orvex/orvex_c.h that the C# host uses, for P/Invoke. "orvex" is found
// as liborvex.so (Mono looks in LD_LIBRARY_PATH and the system's folders) or orvex.dll.
// Text crosses as UTF-8 bytes: paths go out NUL-terminated, names and reasons come back as
// pointers into the library's memory, copied at once.
using System;
using System.Runtime.InteropServices;
using System.Text;

static class OrvexNative {
  const string Library = "orvex";

  public const int StatusOk = 0;
  public const int SampleFormatUint = 1;
  public const int PhotometricSeparated = 4;
  public const int ResolutionUnitInch = 0;
  public const int ChannelSpot = 3;
  public const int PlanarContig = 1;
  public const int VocabularySampleFormat = 0;
  public const int VocabularyPhotometric = 1;
  public const int VocabularyChannelKind = 3;

  [StructLayout(LayoutKind.Sequential)]
  public struct PageInfo {
    public uint StructSize;
    public uint Width;
    public uint Height;
    public uint ScanlineCount;
    public ushort BitsPerSample;
    public ushort SamplesPerPixel;
    public ushort ExtraSamples;
    public ushort ScanlinesAreRows;
    public int SampleFormat;
    public int Photometric;
    public int ResolutionUnit;
    public float XResolution;
    public float YResolution;
    public uint IccProfileSize;
    public IntPtr IccProfile;
  }

  [StructLayout(LayoutKind.Sequential)]
  public struct Channel {
    public uint StructSize;
    public int Kind;
    public uint NameSize;
    public IntPtr Name;
  }

  [DllImport(Library)] public static extern int orvex_version(IntPtr major, IntPtr minor,
                                                              IntPtr patch, out IntPtr text);
  [DllImport(Library)] public static extern int orvex_last_failure(out IntPtr reason);
  [DllImport(Library)] public static extern int orvex_word(int vocabulary, int value,
                                                           out IntPtr word);
  [DllImport(Library)] public static extern int orvex_reader_open(byte[] path, out IntPtr reader);
  [DllImport(Library)] public static extern int orvex_reader_destroy(IntPtr reader);
  [DllImport(Library)] public static extern int orvex_reader_page_count(IntPtr reader,
                                                                        out uint count);
  [DllImport(Library)] public static extern int orvex_reader_select_page(IntPtr reader, uint page);
  [DllImport(Library)] public static extern int orvex_reader_page_info(IntPtr reader,
                                                                       ref PageInfo info);
  [DllImport(Library)] public static extern int orvex_reader_channel(IntPtr reader, uint index,
                                                                     ref Channel channel);
  [DllImport(Library)] public static extern int orvex_reader_read_scanline(
      IntPtr reader, uint scanline, out IntPtr data, out uint size);
  [DllImport(Library)] public static extern int orvex_writer_create(
      byte[] path, ref PageInfo info, Channel[] channels, uint channelCount, int planar,
      out IntPtr writer);
  [DllImport(Library)] public static extern int orvex_writer_write_scanline(
      IntPtr writer, uint row, byte[] data, uint size);
  [DllImport(Library)] public static extern int orvex_writer_close(IntPtr writer);
  [DllImport(Library)] public static extern int orvex_writer_destroy(IntPtr writer);

  /// A path or name as the library takes it: UTF-8, NUL-terminated.
  public static byte[] Utf8(string text) {
    return Encoding.UTF8.GetBytes(text + "\0");
  }

  /// Text the library hands out: `size` bytes of UTF-8, or up to the NUL when size is null.
  public static string Text(IntPtr text, uint? size = null) {
    int length = 0;
    if (size.HasValue) {
      length = (int)size.Value;
    } else {
      while (Marshal.ReadByte(text, length) != 0) {
        ++length;
      }
    }
    var bytes = new byte[length];
    Marshal.Copy(text, bytes, 0, length);
    return Encoding.UTF8.GetString(bytes);
  }

  public static string Word(int vocabulary, int value) {
    IntPtr word;
    return orvex_word(vocabulary, value, out word) == StatusOk ? Text(word) : "?";
  }

  /// Fails with the library's reason for the last failing call of this thread.
  public static void Check(int status) {
    if (status != StatusOk) {
      IntPtr reason;
      orvex_last_failure(out reason);
      throw new OrvexException(status, Text(reason));
    }
  }
}

class OrvexException : Exception {
  public readonly int Status;
  public OrvexException(int status, string reason) : base(reason) {
    Status = status;
  }
}
