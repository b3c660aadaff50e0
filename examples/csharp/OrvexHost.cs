// A host in C# that uses Orvex through its C interface alone (OrvexNative.cs):
//
//   mono OrvexHost.exe read FILE     every page's description, extra channels and an FNV-1a
//                                    checksum of its scanlines, as examples/read_tiff_c.c
//   mono OrvexHost.exe write OUT.tif a 48 x 32 CMYK picture with a spot colour "Gold über"
//
// Exit status: 0 on success, 1 when the library failed (its reason is printed), 2 on bad usage.
using System;
using System.Runtime.InteropServices;
using static OrvexNative;

static class OrvexHost {
  const uint Width = 48;
  const uint Height = 32;
  const int Samples = 5;  // cyan, magenta, yellow, black, then the spot colour
  const string SpotName = "Gold über";

  static byte SampleAt(uint x, uint y, int sample) {
    switch (sample) {
      case 0: return (byte)(x * 5);
      case 1: return (byte)(y * 7);
      case 2: return (byte)((x + y) * 3);
      case 3: return (byte)(x ^ y);
      default: return (byte)(x * y);
    }
  }

  static void PrintPage(IntPtr reader, uint page) {
    Check(orvex_reader_select_page(reader, page));
    var info = new PageInfo { StructSize = (uint)Marshal.SizeOf(typeof(PageInfo)) };
    Check(orvex_reader_page_info(reader, ref info));
    Console.WriteLine("page {0}: {1} x {2}, {3}, {4}, {5} bits, {6} samples of which {7} extra",
                      page, info.Width, info.Height,
                      Word(VocabularyPhotometric, info.Photometric),
                      Word(VocabularySampleFormat, info.SampleFormat), info.BitsPerSample,
                      info.SamplesPerPixel, info.ExtraSamples);
    for (uint i = 0; i < info.ExtraSamples; ++i) {
      var channel = new Channel { StructSize = (uint)Marshal.SizeOf(typeof(Channel)) };
      Check(orvex_reader_channel(reader, i, ref channel));
      Console.WriteLine("  channel {0}: {1} \"{2}\"", i, Word(VocabularyChannelKind, channel.Kind),
                        Text(channel.Name, channel.NameSize));
    }
    // A scanline belongs to the reader until its next read: it is consumed at once.
    ulong hash = 14695981039346656037UL;
    ulong bytes = 0;
    var row = new byte[0];
    for (uint scanline = 0; scanline < info.ScanlineCount; ++scanline) {
      IntPtr data;
      uint size;
      Check(orvex_reader_read_scanline(reader, scanline, out data, out size));
      if (row.Length != size) {
        row = new byte[size];
      }
      Marshal.Copy(data, row, 0, (int)size);
      foreach (byte b in row) {
        hash = (hash ^ b) * 1099511628211UL;
      }
      bytes += size;
    }
    Console.WriteLine("  delivered: {0} bytes, fnv1a64 {1:x16}", bytes, hash);
  }

  static void Read(string path) {
    IntPtr reader;
    Check(orvex_reader_open(Utf8(path), out reader));
    try {
      uint pages;
      Check(orvex_reader_page_count(reader, out pages));
      Console.WriteLine("{0}: {1} page{2}", path, pages, pages == 1 ? "" : "s");
      for (uint page = 0; page < pages; ++page) {
        PrintPage(reader, page);
      }
    } finally {
      orvex_reader_destroy(reader);
    }
  }

  static void Write(string path) {
    var info = new PageInfo {
      StructSize = (uint)Marshal.SizeOf(typeof(PageInfo)), Width = Width, Height = Height,
      BitsPerSample = 8, SamplesPerPixel = Samples, ExtraSamples = 1,
      SampleFormat = SampleFormatUint, Photometric = PhotometricSeparated,
      ResolutionUnit = ResolutionUnitInch, XResolution = 300, YResolution = 300
    };
    // The name is read during orvex_writer_create only, so it is pinned for that call.
    byte[] name = Utf8(SpotName);
    GCHandle pinned = GCHandle.Alloc(name, GCHandleType.Pinned);
    IntPtr writer;
    try {
      var channels = new[] { new Channel {
        StructSize = (uint)Marshal.SizeOf(typeof(Channel)), Kind = ChannelSpot,
        NameSize = (uint)name.Length - 1, Name = pinned.AddrOfPinnedObject()
      } };
      Check(orvex_writer_create(Utf8(path), ref info, channels, 1, PlanarContig, out writer));
    } finally {
      pinned.Free();
    }
    try {
      var row = new byte[Width * Samples];
      for (uint y = 0; y < Height; ++y) {
        for (uint x = 0; x < Width; ++x) {
          for (int s = 0; s < Samples; ++s) {
            row[x * Samples + s] = SampleAt(x, y, s);
          }
        }
        Check(orvex_writer_write_scanline(writer, y, row, (uint)row.Length));
      }
      Check(orvex_writer_close(writer));
    } finally {
      orvex_writer_destroy(writer);
    }
    Console.WriteLine("{0}: {1} x {2} CMYK, 8 bits, spot colour \"{3}\"", path, Width, Height,
                      SpotName);
  }

  static int Main(string[] args) {
    if (args.Length != 2 || (args[0] != "read" && args[0] != "write")) {
      Console.Error.WriteLine("usage: OrvexHost.exe read FILE | write OUT.tif");
      return 2;
    }
    try {
      IntPtr version;
      orvex_version(IntPtr.Zero, IntPtr.Zero, IntPtr.Zero, out version);
      Console.WriteLine("orvex {0}", Text(version));
      if (args[0] == "read") {
        Read(args[1]);
      } else {
        Write(args[1]);
      }
      return 0;
    } catch (OrvexException e) {
      Console.WriteLine("{0}: failed: {1}", args[1], e.Message);
      return 1;
    }
  }
}
