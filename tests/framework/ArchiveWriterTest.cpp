#include <gtest/gtest.h>

#include <cstdio>

#include "framework/ArchiveIO.h"
#include "framework/Errors.h"

namespace kestrune {
namespace {

TPictureData Gradient(int w, int h) {
  TPictureData pic;
  pic.Width = w;
  pic.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pic.Pixels.push_back(static_cast<std::uint32_t>((x * 37) << 16 | (y * 11) << 8 | (x ^ y)));
  return pic;
}

TEST(ArchiveWriter, PictureArchiveRoundTripsEveryField) {
  PictureArchive in;
  in.ColorTable.resize(1024);
  for (std::size_t i = 0; i < 1024; ++i) in.ColorTable[i] = static_cast<std::uint8_t>(i * 7);
  PictureItemRecord car;
  car.Name = "Car";
  car.Picture = Gradient(5, 3);  // odd width: rows are padded
  car.PatternWidth = 2;
  car.PatternHeight = -1;
  car.SkipWidth = 300;
  car.SkipHeight = 70000;
  car.SystemMemory = true;
  car.Transparent = false;
  car.TransparentColor = 0xFF00FF;
  PictureItemRecord bitmap;
  bitmap.Name = std::string(300, 'x');  // longer than a short string
  bitmap.PictureKind = "TBitmap";
  bitmap.Picture = Gradient(1, 4);
  PictureItemRecord icon;
  icon.PictureKind = "TIcon";
  PictureItemRecord empty;
  empty.Name = "Empty";
  in.Items = {car, bitmap, icon, empty};

  const PictureArchive out = ReadPictureArchiveFromMemory(WritePictureArchiveToMemory(in));
  EXPECT_EQ(out.ColorTable, in.ColorTable);
  ASSERT_EQ(out.Items.size(), in.Items.size());
  for (std::size_t i = 0; i < in.Items.size(); ++i) {
    SCOPED_TRACE(i);
    const PictureItemRecord& a = in.Items[i];
    const PictureItemRecord& b = out.Items[i];
    EXPECT_EQ(b.Name, a.Name);
    EXPECT_EQ(b.PictureKind, a.PictureKind);
    EXPECT_EQ(b.Picture.Width, a.Picture.Width);
    EXPECT_EQ(b.Picture.Height, a.Picture.Height);
    EXPECT_EQ(b.Picture.Pixels, a.Picture.Pixels);
    EXPECT_EQ(b.PatternWidth, a.PatternWidth);
    EXPECT_EQ(b.PatternHeight, a.PatternHeight);
    EXPECT_EQ(b.SkipWidth, a.SkipWidth);
    EXPECT_EQ(b.SkipHeight, a.SkipHeight);
    EXPECT_EQ(b.SystemMemory, a.SystemMemory);
    EXPECT_EQ(b.Transparent, a.Transparent);
    EXPECT_EQ(b.TransparentColor, a.TransparentColor);
  }
}

TEST(ArchiveWriter, WaveArchiveRoundTripsThroughAFile) {
  WaveArchive in;
  WaveItemRecord horn;
  horn.Name = "Horn";
  horn.Looped = true;
  horn.MaxPlayingCount = 4;
  horn.HasWave = true;
  horn.Format.Channels = 2;
  horn.Format.SamplesPerSec = 44100;
  horn.Format.AvgBytesPerSec = 44100 * 4;
  horn.Format.BlockAlign = 4;
  horn.Format.Extra = {0, 0, 7};  // odd-sized format chunk: padded
  horn.Data = {1, 2, 3, 4, 5};    // odd-sized data chunk: padded
  WaveItemRecord silent;
  silent.Name = "Silent";
  in.Items = {horn, silent};

  const std::string path = "archive-writer-test.dxw";
  WriteWaveArchive(path, in);
  const WaveArchive out = ReadWaveArchive(path);
  std::remove(path.c_str());

  ASSERT_EQ(out.Items.size(), 2u);
  const WaveItemRecord& h = out.Items[0];
  EXPECT_EQ(h.Name, "Horn");
  EXPECT_TRUE(h.Looped);
  EXPECT_EQ(h.MaxPlayingCount, 4);
  EXPECT_TRUE(h.HasWave);
  EXPECT_EQ(h.Format.Channels, 2);
  EXPECT_EQ(h.Format.SamplesPerSec, 44100u);
  EXPECT_EQ(h.Format.AvgBytesPerSec, 44100u * 4);
  EXPECT_EQ(h.Format.BlockAlign, 4);
  EXPECT_EQ(h.Format.BitsPerSample, 16);
  EXPECT_EQ(h.Format.Extra, horn.Format.Extra);
  EXPECT_EQ(h.Data, horn.Data);
  EXPECT_FALSE(out.Items[1].HasWave);
  EXPECT_TRUE(out.Items[1].Data.empty());
}

TEST(ArchiveWriter, RiffWaveFollowsThePaddingRule) {
  WaveFormat f;
  const std::vector<std::uint8_t> riff = MakeRiffWave(f, {9, 9, 9});
  // 12 header + 24 format + 8 data header + 3 samples + 1 pad
  ASSERT_EQ(riff.size(), 48u);
  EXPECT_EQ(riff[4] | riff[5] << 8, 40);  // RIFF size counts everything after itself
  EXPECT_EQ(riff.back(), 0);
}

TEST(ArchiveWriter, RefusesPicturesTheReaderWouldReject) {
  PictureArchive archive;
  archive.Items.resize(1);
  TPictureData& pic = archive.Items[0].Picture;
  pic.Width = 16385;
  pic.Height = 1;
  pic.Pixels.resize(16385);
  EXPECT_THROW(WritePictureArchiveToMemory(archive), EInvalidGraphic);
  pic.Width = 2;  // pixel count does not match the size
  EXPECT_THROW(WritePictureArchiveToMemory(archive), EInvalidGraphic);
}

TEST(ArchiveWriter, UnwritablePathFails) {
  try {
    WritePictureArchive("no-such-dir/out.dxg", PictureArchive{});
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_STREQ(e.what(), "Cannot create file \"no-such-dir/out.dxg\". No such file or directory");
  }
}

}  // namespace
}  // namespace kestrune
