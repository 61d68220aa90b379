#include <gtest/gtest.h>

#include "ArchiveFixtures.h"
#include "framework/ArchiveIO.h"
#include "framework/Errors.h"

namespace kestrune {
namespace {

using fixtures::ArchiveEnd;
using fixtures::ArchiveStart;
using fixtures::Bytes;
using fixtures::InfoHeader;
using fixtures::OneItemArchive;
using fixtures::TdibPayload;

std::vector<std::uint8_t> OnePixelDib(std::uint32_t rgb) {
  Bytes b = InfoHeader(1, 1, 24);
  b.u8(rgb).u8(rgb >> 8).u8(rgb >> 16).u8(0);
  return b.v;
}

TEST(ArchiveReader, ReadsEveryItemPropertyInEachAcceptedEncoding) {
  Bytes a = ArchiveStart();
  a.prop("List").u8(0x0E);
  // Item 1: order number before the item, short string name, each integer width, booleans.
  a.int8(0).u8(0x01);
  a.prop("Name").str("Car");
  a.prop("PatternWidth").int8(20);
  a.prop("PatternHeight").u8(0x03).u16(300);
  a.prop("SkipWidth").int32(-5);
  a.prop("SkipHeight").int8(2);
  a.prop("SystemMemory").u8(0x09);
  a.prop("Transparent").ident("False");
  a.prop("TransparentColor").ident("clFuchsia");
  a.prop("Picture.Data").binary(TdibPayload(OnePixelDib(0x123456)));
  a.u8(0);
  // Item 2: long string name, system colour name, boolean identifiers in any letter case.
  a.u8(0x01);
  a.prop("Name").u8(0x0C).u32(5).raw("Tiles");
  a.prop("TransparentColor").ident("clBtnFace");
  a.prop("SystemMemory").ident("TRUE");
  a.u8(0);
  // Item 3: UTF-16 name, integer colour, an unknown picture kind (empty, no error).
  a.u8(0x01);
  a.prop("Name").u8(0x12).u32(2).u16('O').u16(0xE9);
  a.prop("TransparentColor").int32(0x00FF00);
  a.prop("Picture.Data").binary(Bytes().sstr("TIcon").list({1, 2, 3}).v);
  a.u8(0);
  // Item 4: UTF-8 name; "tdib" in another letter case is not a known kind.
  a.u8(0x01);
  a.prop("Name").u8(0x14).u32(3).raw("abc");
  a.prop("Picture.Data").binary(Bytes().sstr("tdib").raw(OnePixelDib(1)).v);
  a.u8(0);
  a.u8(0);
  std::vector<std::uint8_t> colorTable(1030);
  for (std::size_t i = 0; i < colorTable.size(); ++i) colorTable[i] = static_cast<std::uint8_t>(i);
  a.prop("List.ColorTable").binary(colorTable);

  const PictureArchive archive = ReadPictureArchiveFromMemory(ArchiveEnd(a));
  ASSERT_EQ(archive.Items.size(), 4u);
  const PictureItemRecord& car = archive.Items[0];
  EXPECT_EQ(car.Name, "Car");
  EXPECT_EQ(car.PatternWidth, 20);
  EXPECT_EQ(car.PatternHeight, 300);
  EXPECT_EQ(car.SkipWidth, -5);
  EXPECT_EQ(car.SkipHeight, 2);
  EXPECT_TRUE(car.SystemMemory);
  EXPECT_FALSE(car.Transparent);
  EXPECT_EQ(car.TransparentColor, 0xFF00FFu);
  ASSERT_EQ(car.Picture.Width, 1);
  EXPECT_EQ(car.Picture.Pixels[0], 0x123456u);

  EXPECT_EQ(archive.Items[1].Name, "Tiles");
  EXPECT_EQ(archive.Items[1].TransparentColor, 0xC0C0C0u);
  EXPECT_TRUE(archive.Items[1].SystemMemory);
  EXPECT_TRUE(archive.Items[1].Transparent);  // the default of a new item
  EXPECT_TRUE(archive.Items[1].Picture.Empty());

  EXPECT_EQ(archive.Items[2].Name, "O\xC3\xA9");
  EXPECT_EQ(archive.Items[2].TransparentColor, 0x00FF00u);
  EXPECT_EQ(archive.Items[2].PictureKind, "TIcon");
  EXPECT_TRUE(archive.Items[2].Picture.Empty());

  EXPECT_EQ(archive.Items[3].Name, "abc");
  EXPECT_TRUE(archive.Items[3].Picture.Empty());

  ASSERT_EQ(archive.ColorTable.size(), 1024u);
  EXPECT_EQ(archive.ColorTable[1023], 1023 & 0xFF);
}

TEST(ArchiveReader, AcceptsPrefixInstanceNameAndLongResourceName) {
  Bytes a;
  a.u8(0xFF).u16(0x000A).raw(std::string(75, 'N')).u8(0).u16(0x1030).u32(0).raw("TPF0");
  a.u8(0xF2).int8(3);  // prefix flags with a position value
  a.sstr("Whatever").sstr("Images");
  a.prop("List").u8(0x0E).u8(0x01).prop("Name").str("One").u8(0).u8(0);
  const PictureArchive archive = ReadPictureArchiveFromMemory(ArchiveEnd(a));
  ASSERT_EQ(archive.Items.size(), 1u);
  EXPECT_EQ(archive.Items[0].Name, "One");

  // A name of 76 bytes leaves no zero byte in the header window.
  Bytes tooLong;
  tooLong.u8(0xFF).u16(0x000A).raw(std::string(76, 'N')).u8(0).u16(0x1030).u32(0).raw("TPF0");
  EXPECT_THROW(ReadPictureArchiveFromMemory(tooLong.v), EReadError);
}

TEST(ArchiveReader, SecondListReplacesTheFirst) {
  Bytes a = ArchiveStart();
  a.prop("List").u8(0x0E).u8(0x01).prop("Name").str("Old").u8(0).u8(0);
  a.prop("List").u8(0x0E).u8(0x01).prop("Name").str("New").u8(0).u8(0);
  const PictureArchive archive = ReadPictureArchiveFromMemory(ArchiveEnd(a));
  ASSERT_EQ(archive.Items.size(), 1u);
  EXPECT_EQ(archive.Items[0].Name, "New");
}

TEST(ArchiveReader, ErrorsCarryTheirFullWrapping) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string message;
  };
  const std::string list = "Error reading TPictureCollectionComponent.List: ";
  std::vector<Case> cases = {
      {"unknown item property", OneItemArchive(Bytes().prop("Speed").int8(1)),
       list + "Error reading TPictureCollectionItem.Speed: Property Speed does not exist"},
      {"a named item is still named by its class",
       OneItemArchive(Bytes().prop("Name").str("Car").prop("PatternWidth").str("20")),
       list + "Error reading TPictureCollectionItem.PatternWidth: Invalid property value"},
      {"root instance name", OneItemArchive(Bytes().prop("Transparent").ident("Maybe"), "Images"),
       "Error reading Images.List: Error reading TPictureCollectionItem.Transparent: Invalid property value"},
      {"unknown colour name", OneItemArchive(Bytes().prop("TransparentColor").ident("clNope")),
       list + "Error reading TPictureCollectionItem.TransparentColor: Invalid property value"},
      {"bad DIB", OneItemArchive(Bytes().prop("Picture.Data").binary(TdibPayload(Bytes().u32(64).v))),
       list + "Error reading TPictureCollectionItem.Picture.Data: DIB is invalid"},
      {"binary longer than the stream",
       OneItemArchive(Bytes().prop("Picture.Data").u8(0x0A).u32(1000).raw("TDIB")),
       list + "Error reading TPictureCollectionItem.Picture.Data: Stream read error"},
      {"unknown root property", ArchiveEnd(ArchiveStart().prop("Tag").int8(1)),
       "Error reading TPictureCollectionComponent.Tag: Property Tag does not exist"},
      {"short colour table",
       ArchiveEnd(ArchiveStart().prop("List.ColorTable").binary(std::vector<std::uint8_t>(1023))),
       "Error reading TPictureCollectionComponent.List.ColorTable: Stream read error"},
      {"List is not a collection", ArchiveEnd(ArchiveStart().prop("List").int8(1)),
       list + "Invalid property value"},
      {"item without start marker", ArchiveEnd(ArchiveStart().prop("List").u8(0x0E).int8(1).u8(0x06)),
       list + "Invalid property value"},
      {"runs out inside an item", ArchiveStart().prop("List").u8(0x0E).u8(0x01).prop("Name").v,
       list + "Error reading TPictureCollectionItem.Name: Stream read error"},
      {"runs out between items", ArchiveStart().prop("List").u8(0x0E).u8(0x01).u8(0).v,
       list + "Stream read error"},
      {"runs out after the root", ArchiveStart().v, "Stream read error"},
      {"wrong first byte", Bytes().u8(0xFE).u16(0x000A).u8(0).u16(0).u32(0).raw("TPF0").v,
       "Invalid stream format"},
      {"wrong type", Bytes().u8(0xFF).u16(0x000B).u8(0).u16(0).u32(0).raw("TPF0").v, "Invalid stream format"},
      {"wrong signature", Bytes().u8(0xFF).u16(0x000A).u8(0).u16(0).u32(0).raw("TPF1").v,
       "Invalid stream format"},
      {"empty file", {}, "Invalid stream format"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ReadPictureArchiveFromMemory(c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

TEST(ArchiveReader, MissingFileNamesFileAndReason) {
  try {
    ReadPictureArchive("no-such-dir/Res1.dxg");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"no-such-dir/Res1.dxg\". No such file or directory");
  }
  EXPECT_THROW(ReadWaveArchive("."), EFOpenError);  // a directory is not an archive
}

// Run-length codes describe big pictures in a few bytes: one archive of such items may decode to
// only so many pixels in all, however small its file is.
TEST(ArchiveReader, DecodedPixelsOfAnArchiveAreBudgeted) {
  const std::int32_t side = 4096;  // 16 M pixels from 46 bytes of DIB
  const std::vector<std::uint8_t> bomb = TdibPayload(InfoHeader(side, side, 8, 1, 1).u32(0).list({0, 1}).v);
  auto archiveOf = [&](int items) {
    Bytes a = ArchiveStart();
    a.prop("List").u8(0x0E);
    for (int i = 0; i < items; ++i) a.u8(0x01).prop("Picture.Data").binary(bomb).u8(0);
    a.u8(0);
    return ArchiveEnd(a);
  };
  // Four fit the budget (a player's archive can hold big pictures)...
  EXPECT_EQ(ReadPictureArchiveFromMemory(archiveOf(4)).Items.size(), 4u);
  // ...but not twelve: the reader stops before decoding past the budget.
  try {
    ReadPictureArchiveFromMemory(archiveOf(12));
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("DIB is invalid"), std::string::npos) << e.what();
  }
}

// Patterns cost a record and run tables each, and every one is scanned whole when the pictures
// are made ready: tiny or heavily overlapping ones are budgeted like the pixels, while a big but
// ordinary archive still loads.
TEST(ArchiveReader, PatternsOfAnArchiveAreBudgeted) {
  // A blank picture of a few dozen bytes, cut as the item's properties say.
  auto archiveOf = [](int items, std::int32_t width, std::int32_t height, std::int32_t patternWidth,
                      std::int32_t patternHeight, std::int32_t skipWidth) {
    const std::vector<std::uint8_t> dib = TdibPayload(InfoHeader(width, height, 8, 1, 1).u32(0).list({0, 1}).v);
    Bytes a = ArchiveStart();
    a.prop("List").u8(0x0E);
    for (int i = 0; i < items; ++i) {
      a.u8(0x01).prop("PatternWidth").int32(patternWidth).prop("PatternHeight").int32(patternHeight);
      a.prop("SkipWidth").int32(skipWidth).prop("Picture.Data").binary(dib).u8(0);
    }
    a.u8(0);
    return ArchiveEnd(a);
  };
  // Several 4096 x 4096 pictures in 64 x 64 patterns load.
  EXPECT_EQ(ReadPictureArchiveFromMemory(archiveOf(4, 4096, 4096, 64, 64, 0)).Items.size(), 4u);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> archive;
    const char* message;
  };
  const Case cases[] = {
      {"1 x 1 patterns", archiveOf(1, 1024, 1024, 1, 1, 0), "Too many patterns"},
      {"wide patterns a pixel apart", archiveOf(1, 4096, 1024, 4000, 1024, -3999), "Patterns too large"},
      {"one-pixel columns a pixel apart", archiveOf(1, 4096, 4096, 1, 4096, 0), "Patterns too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ReadPictureArchiveFromMemory(c.archive);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("TPictureCollectionItem.PatternWidth: ") + c.message),
                std::string::npos)
          << e.what();
    }
  }
}

TEST(ArchiveReader, SpecialFilesAreNotArchives) {
  // A device would read for ever; a FIFO would block the start-up.
  EXPECT_THROW(ReadPictureArchive("/dev/zero"), EFOpenError);
  EXPECT_THROW(ReadPictureArchive("/dev/null"), EFOpenError);
}

// Sound archives ------------------------------------------------------------------------------

Bytes Fmt(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  Bytes b;
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  b.raw("fmt ").u32(16).u16(1).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits);
  return b;
}

std::vector<std::uint8_t> Riff(const Bytes& chunks) {
  Bytes b;
  b.raw("RIFF").u32(static_cast<std::uint32_t>(4 + chunks.v.size())).raw("WAVE").raw(chunks.v);
  return b.v;
}

std::vector<std::uint8_t> WaveArchiveWith(const std::vector<std::uint8_t>& riff) {
  Bytes a = ArchiveStart("TWaveCollectionComponent");
  a.prop("List").u8(0x0E).u8(0x01);
  a.prop("Name").str("Horn").prop("Looped").u8(0x09).prop("MaxPlayingCount").int8(-3);
  a.prop("Wave.WAVE").binary(riff);
  a.u8(0).u8(0);
  return ArchiveEnd(a);
}

TEST(WaveArchiveReader, FindsDataAfterOddChunksWithOrWithoutPadByte) {
  const std::vector<std::uint8_t> samples = {1, 2, 3, 4, 5, 6};
  struct Case {
    const char* what;
    Bytes chunks;
  };
  Bytes padded = Fmt(1, 11025, 8);
  padded.raw("LIST").u32(3).list({'a', 'b', 'c'}).u8(0).raw("data").u32(6).raw(samples);
  Bytes unpadded = Fmt(1, 11025, 8);
  unpadded.raw("LIST").u32(3).list({'a', 'b', 'c'}).raw("data").u32(6).raw(samples);
  Bytes endMarker = Fmt(1, 11025, 8);
  endMarker.raw("data").u32(6).raw(samples).u32(0).raw("junk");
  for (const Case& c : {Case{"pad byte present", padded}, Case{"pad byte left out", unpadded},
                        Case{"zero identifier ends the chunks", endMarker}}) {
    SCOPED_TRACE(c.what);
    const WaveArchive archive = ReadWaveArchiveFromMemory(WaveArchiveWith(Riff(c.chunks)));
    ASSERT_EQ(archive.Items.size(), 1u);
    const WaveItemRecord& w = archive.Items[0];
    EXPECT_EQ(w.Name, "Horn");
    EXPECT_TRUE(w.Looped);
    EXPECT_EQ(w.MaxPlayingCount, 0);  // negative counts are stored as 0
    EXPECT_TRUE(w.HasWave);
    EXPECT_EQ(w.Format.Channels, 1);
    EXPECT_EQ(w.Format.SamplesPerSec, 11025u);
    EXPECT_EQ(w.Format.BitsPerSample, 8);
    EXPECT_EQ(w.Data, samples);
  }
}

TEST(WaveArchiveReader, WaveWithoutDataHasNoSamples) {
  const WaveArchive archive = ReadWaveArchiveFromMemory(WaveArchiveWith(Riff(Fmt(2, 44100, 16))));
  EXPECT_TRUE(archive.Items[0].Data.empty());
  EXPECT_EQ(archive.Items[0].Format.Channels, 2);
}

TEST(WaveArchiveReader, ErrorsCarryTheirFullWrapping) {
  const std::string prefix =
      "Error reading TWaveCollectionComponent.List: Error reading TWaveCollectionItem.Wave.WAVE: ";
  Bytes notRiff;
  notRiff.raw("RIFX").u32(4).raw("WAVE");
  Bytes notWave;
  notWave.raw("RIFF").u32(4).raw("AVI ");
  Bytes shortData = Fmt(1, 8000, 8);
  shortData.raw("data").u32(100).list({1, 2, 3});
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"not RIFF", WaveArchiveWith(notRiff.v), prefix + "Wave is invalid"},
      {"not WAVE", WaveArchiveWith(notWave.v), prefix + "Wave is invalid"},
      {"shorter than the RIFF header", WaveArchiveWith({'R', 'I', 'F', 'F'}), prefix + "Wave is invalid"},
      {"data chunk runs out", WaveArchiveWith(Riff(shortData)), prefix + "Stream read error"},
      {"colour table is a picture property",
       ArchiveEnd(ArchiveStart("TWaveCollectionComponent").prop("List.ColorTable").binary({})),
       "Error reading TWaveCollectionComponent.List.ColorTable: Property List.ColorTable does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ReadWaveArchiveFromMemory(c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace kestrune

namespace kestrune {
namespace {

// The fuzzing seeds are archives written by an independent script; every one must load.
TEST(ArchiveReader, LoadsArchivesOfAnIndependentWriter) {
  const std::string corpus = std::string(KESTRUNE_TEST_SOURCE_DIR) + "/../fuzz/corpus/archive/";
  const PictureArchive basic = ReadPictureArchive(corpus + "pictures-basic.dxg");
  ASSERT_EQ(basic.Items.size(), 6u);
  EXPECT_EQ(basic.Items[4].Name, "Bm");
  EXPECT_EQ(basic.Items[4].Picture.Pixels, std::vector<std::uint32_t>{0x030201});
  EXPECT_EQ(basic.ColorTable.size(), 1024u);
  const PictureArchive encodings = ReadPictureArchive(corpus + "pictures-encodings.dxg");
  ASSERT_EQ(encodings.Items.size(), 7u);
  for (const PictureItemRecord& item : encodings.Items) EXPECT_FALSE(item.Picture.Empty()) << item.Name;
  const WaveArchive waves = ReadWaveArchive(corpus + "waves.dxw");
  ASSERT_EQ(waves.Items.size(), 2u);
  EXPECT_EQ(waves.Items[0].Data.size(), 5u);  // found after an odd chunk with its pad byte
  EXPECT_EQ(waves.Items[1].Data.size(), 2u);
  // The decompression-bomb seed stops at the pixel budget.
  EXPECT_THROW(ReadPictureArchive(corpus + "pictures-bomb.dxg"), EReadError);
}

}  // namespace
}  // namespace kestrune
