#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/fixtures/load_failure.h"
#include "imaging/imaging_messages.h"
#include "imaging/metafile/decoder.h"
#include "support/little_endian.h"
#include "support/metafile_writer.h"

namespace quillmere::test {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr std::size_t kEmfHeaderSize = 108;  // as the writer makes it

using File = std::vector<std::uint8_t>;

// Something of every kind the player handles, for the sweeps below.
File richEmf() {
    EmfWriter emf(48, 36);
    emf.fillWith(1, kRed).rectangle(2, 2, 20, 20).ellipse(10, 10, 40, 30);
    emf.createPen(2, 1, 3, kBlue).select(2);
    emf.poly(emr::Polygon16, {{1, 30}, {20, 5}, {40, 30}});
    emf.polyPolygon(emr::PolyPolygon, {{{1, 1}, {9, 1}, {9, 9}}, {{30, 1}, {40, 1}, {40, 9}}});
    emf.record(emr::SaveDc, {});
    emf.transform(emr::SetWorldTransform, {0.5f, 0.1f, -0.1f, 0.5f, 4, 4});
    emf.record(emr::Pie, {0, 0, 30, 30, 30, 15, 15, 0});
    emf.record(emr::RestoreDc, {-1});
    emf.record(emr::IntersectClipRect, {1, 1, 46, 34});
    emf.record(emr::BeginPath, {});
    emf.record(emr::MoveToEx, {5, 5}).record(emr::LineTo, {40, 20}).record(emr::LineTo, {5, 30});
    emf.record(emr::EndPath, {}).record(emr::StrokeAndFillPath, {0, 0, 48, 36});
    emf.createFont(3, -12, u"DejaVu Sans").select(3);
    emf.text(3, 3, u"Hi", 0x0002, {2, 2, 30, 16}, {7, 7});
    emf.stretchDiBits(30, 20, 10, 10, makeDib(2, 2, 8, {kRed, kBlue, kBlue, kRed}));
    emf.blt(emr::StretchBlt, {0, 20, 8, 8}, {0, 0, 2, 2},
            makeDib(2, 2, 24, {kRed, kBlue, kBlue, kRed}));
    emf.record(emr::DeleteObject, {2});
    return emf.bytes();
}

File richWmf() {
    WmfWriter wmf = WmfWriter::placeable(0, 0, 480, 360, 960);
    wmf.windowOrigin(0, 0).windowExtent(480, 360);
    wmf.createBrush(kRed).select(0).createPen(0, 3, kBlue).select(1);
    wmf.rectangle(10, 10, 200, 200).ellipse(100, 100, 400, 300);
    wmf.poly(meta::Polygon, {{10, 300}, {200, 50}, {400, 300}});
    wmf.record(meta::SaveDc, {});
    wmf.record(meta::Pie, {0, 150, 150, 300, 300, 300, 0, 0});
    wmf.record(meta::RestoreDc, {-1});
    wmf.createFont(-120, "DejaVu Sans").select(2);
    wmf.textOut(30, 30, "Hi");
    wmf.dibStretchBlt(300, 200, 100, 100, makeDib(2, 2, 4, {kRed, kBlue, kBlue, kRed}));
    wmf.record(meta::DeleteObject, {1});
    return wmf.bytes();
}

// A file with one record appended to a fresh EMF.
File emfWith(std::uint32_t type, const Bytes& parameters, std::uint16_t handles = 16) {
    EmfWriter emf(48, 36, handles);
    emf.record(type, parameters);
    return emf.bytes();
}

File wmfWith(std::uint16_t function, const Bytes& parameters) {
    WmfWriter wmf = WmfWriter::placeable(0, 0, 96, 72, 96, 4);
    wmf.record(function, parameters);
    return wmf.bytes();
}

void expectInvalid(const File& bytes) {
    const LoadFailure failure = failureOf([&bytes] { decodeMetafile(bytes); });
    EXPECT_TRUE(failure.invalidPicture) << failure;
    EXPECT_EQ(failure.message, imaging_messages::metafileNotValid().toStdString());
}

TEST(MetafileDamage, BrokenEmfFilesAreInvalid) {
    const File good = richEmf();
    const Bytes bounds = Bytes().i32(0).i32(0).i32(0).i32(0);
    std::vector<std::pair<std::string, File>> cases;
    const auto patched = [&good](std::size_t at, std::uint32_t value) {
        File file = good;
        setLittle32(file, at, value);
        return file;
    };
    cases.emplace_back("empty", File{});
    cases.emplace_back("header cut short", File(good.begin(), good.begin() + 60));
    cases.emplace_back("header size below the minimum", patched(4, 40));
    cases.emplace_back("header size beyond the file",
                       patched(4, static_cast<std::uint32_t>(good.size() + 4)));
    cases.emplace_back("file length beyond the file",
                       patched(48, static_cast<std::uint32_t>(good.size() + 4)));
    cases.emplace_back("file length below the header", patched(48, 20));
    cases.emplace_back("record size past the end", patched(kEmfHeaderSize + 4, 0x7FFFFFF0));
    cases.emplace_back("record size below 8", patched(kEmfHeaderSize + 4, 4));
    {
        File cut(good.begin(), good.end() - 30);
        setLittle32(cut, 48, static_cast<std::uint32_t>(cut.size()));
        cases.emplace_back("file cut inside a record", cut);
    }
    cases.emplace_back("frame of 40000 pixels", EmfWriter::withFrame(0, 0, 1058334, 2540).bytes());
    cases.emplace_back("frame of 400 megapixels",
                       EmfWriter::withFrame(0, 0, 529167, 529167).bytes());
    cases.emplace_back("frame across the whole coordinate range",
                       EmfWriter::withFrame(INT32_MIN, 0, INT32_MAX, 2540).bytes());
    cases.emplace_back("polygon count beyond the record",
                       emfWith(emr::Polygon, Bytes(bounds).u32(0x40000000).i32(1).i32(1)));
    cases.emplace_back("16-bit polyline count beyond the record",
                       emfWith(emr::Polyline16, Bytes(bounds).u32(0xFFFFFFFF).i16(1).i16(1)));
    cases.emplace_back(
        "polygon counts adding up to more than the points",
        emfWith(emr::PolyPolygon,
                Bytes(bounds).u32(2).u32(3).u32(3).u32(1000).i32(0).i32(0).i32(5).i32(0).i32(5).i32(
                    5)));
    cases.emplace_back("selecting an object beyond the table",
                       emfWith(emr::SelectObject, Bytes().u32(500)));
    cases.emplace_back("creating an object beyond the table",
                       emfWith(emr::CreateBrushIndirect, Bytes().u32(16).u32(0).u32(0).u32(0)));
    cases.emplace_back("deleting an object beyond the table",
                       emfWith(emr::DeleteObject, Bytes().u32(99)));
    cases.emplace_back("a record too short for its fields",
                       emfWith(emr::Rectangle, Bytes().i32(1).i32(2)));
    cases.emplace_back("text longer than its record", emfWith(emr::ExtTextOutW, Bytes()
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .u32(1)
                                                                                    .f32(1)
                                                                                    .f32(1)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .u32(0x7FFFFFFF)
                                                                                    .u32(76)
                                                                                    .u32(0)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .i32(0)
                                                                                    .u32(0)));
    cases.emplace_back("clipping region count beyond the record",
                       emfWith(emr::ExtSelectClipRgn, Bytes()
                                                          .u32(48)
                                                          .u32(5)
                                                          .u32(32)
                                                          .u32(1)
                                                          .u32(0x10000000)
                                                          .u32(16)
                                                          .i32(0)
                                                          .i32(0)
                                                          .i32(1)
                                                          .i32(1)
                                                          .i32(0)
                                                          .i32(0)
                                                          .i32(1)
                                                          .i32(1)));
    {
        EmfWriter emf(48, 36);
        DibParts dib = makeDib(4, 4, 24, std::vector<Rgb>(16, kRed));
        dib.bits = Bytes().u32(0).u32(0);  // far fewer than four rows
        emf.stretchDiBits(0, 0, 10, 10, dib);
        cases.emplace_back("bitmap bits shorter than the bitmap", emf.bytes());
    }
    {
        EmfWriter emf(48, 36);
        emf.stretchDiBits(0, 0, 10, 10, makeDib(1, 1, 24, {kRed}));
        File file = emf.bytes();
        setLittle32(file, kEmfHeaderSize + 48, 5000);  // offBmiSrc
        cases.emplace_back("bitmap header offset beyond the record", file);
    }
    {
        EmfWriter emf(48, 36);
        DibParts dib = makeDib(1, 1, 24, {kRed});
        dib.info = Bytes()
                       .u32(40)
                       .i32(100000)
                       .i32(100000)
                       .u16(1)
                       .u16(24)
                       .u32(0)
                       .u32(0)
                       .i32(0)
                       .i32(0)
                       .u32(0)
                       .u32(0);
        emf.stretchDiBits(0, 0, 10, 10, dib);
        cases.emplace_back("bitmap beyond the size limits", emf.bytes());
    }
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        expectInvalid(bytes);
    }
}

TEST(MetafileDamage, BrokenWmfFilesAreInvalid) {
    const File good = richWmf();
    constexpr std::size_t kFirstRecord = 22 + 18;
    std::vector<std::pair<std::string, File>> cases;
    const auto patched16 = [&good](std::size_t at, std::uint16_t value) {
        File file = good;
        setLittle16(file, at, value);
        return file;
    };
    const std::string text = "This is a text file, not a picture.\n";
    cases.emplace_back("text", File(text.begin(), text.end()));
    cases.emplace_back("placeable header only", File(good.begin(), good.begin() + 30));
    cases.emplace_back("wrong file type", patched16(22, 3));
    cases.emplace_back("wrong header size", patched16(24, 10));
    cases.emplace_back("wrong version", patched16(26, 0x0200));
    cases.emplace_back("no units per inch", patched16(14, 0));
    {
        File file = good;
        setLittle32(file, kFirstRecord, 0x7FFF);
        cases.emplace_back("record size past the end", file);
    }
    {
        File file = good;
        setLittle32(file, kFirstRecord, 2);
        cases.emplace_back("record size below 3 words", file);
    }
    cases.emplace_back("file cut inside a record", File(good.begin(), good.end() - 11));
    cases.emplace_back("box of 32767 inches", WmfWriter::placeable(0, 0, 32767, 10, 1).bytes());
    cases.emplace_back("window extent of a gigapixel", [] {
        WmfWriter wmf = WmfWriter::plain();
        wmf.windowExtent(32767, 32767);
        return wmf.bytes();
    }());
    cases.emplace_back("plain file without a window extent", [] {
        WmfWriter wmf = WmfWriter::plain();
        wmf.createBrush(kRed).select(0).rectangle(0, 0, 10, 10);
        return wmf.bytes();
    }());
    cases.emplace_back("polygon count beyond the record",
                       wmfWith(meta::Polygon, Bytes().i16(30000).i16(1).i16(1).i16(5).i16(5)));
    cases.emplace_back("negative polygon count",
                       wmfWith(meta::Polygon, Bytes().i16(-5).i16(1).i16(1)));
    cases.emplace_back("polygon counts beyond the record",
                       wmfWith(meta::PolyPolygon, Bytes().u16(2).u16(3).u16(60000).i16(0).i16(0)));
    cases.emplace_back("selecting an object beyond the table",
                       wmfWith(meta::SelectObject, Bytes().u16(200)));
    cases.emplace_back("deleting an object beyond the table",
                       wmfWith(meta::DeleteObject, Bytes().u16(4)));
    cases.emplace_back("text longer than its record",
                       wmfWith(meta::TextOut, Bytes().i16(500).ansi("Hi").i16(0).i16(0)));
    cases.emplace_back("negative text length",
                       wmfWith(meta::TextOut, Bytes().i16(-1).i16(0).i16(0)));
    {
        Bytes b;
        b.u32(kSrcCopy).i16(2).i16(2).i16(0).i16(0).i16(10).i16(10).i16(0).i16(0);
        DibParts dib = makeDib(2, 2, 24, std::vector<Rgb>(4, kRed));
        b.append(dib.info).u32(0);  // the pixels cut short
        cases.emplace_back("bitmap cut short", wmfWith(meta::DibStretchBlt, b));
    }
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        expectInvalid(bytes);
    }
}

TEST(MetafileDamage, EveryShorterEmfIsRejected) {
    const File good = richEmf();
    EXPECT_EQ(decodeMetafile(good).width(), 48);
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE("first " + std::to_string(length) + " bytes");
        expectInvalid(File(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
    }
}

TEST(MetafileDamage, ShorterWmfFilesPlayWhatTheyHoldOrAreRejected) {
    // A WMF cut exactly between records is still a valid file without its end.
    const File good = richWmf();
    EXPECT_EQ(decodeMetafile(good).width(), 48);
    int played = 0;
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE("first " + std::to_string(length) + " bytes");
        const File cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        const LoadFailure failure = failureOf([&cut] { decodeMetafile(cut); });
        EXPECT_TRUE(!failure.thrown || failure.invalidPicture) << failure;
        played += !failure.thrown;
    }
    EXPECT_GT(played, 5);
}

// Every byte of the records replaced by a few telling values: the result
// is a picture of the frame's size or the invalid-metafile error, never a
// crash, a hang or another failure.
void sweep(const File& good, std::size_t firstRecordByte) {
    const int width = decodeMetafile(good).width();
    int rejected = 0;
    for (std::size_t at = firstRecordByte; at < good.size(); ++at) {
        for (const std::uint8_t value : {0x00, 0x80, 0xFF}) {
            if (good[at] == value) continue;
            File file = good;
            file[at] = value;
            Bitmap24 picture;
            const LoadFailure failure = failureOf([&] { picture = decodeMetafile(file); });
            if (failure.thrown) {
                ++rejected;
                EXPECT_TRUE(failure.invalidPicture)
                    << "byte " << at << " = " << int{value} << ": " << failure;
            } else {
                EXPECT_EQ(picture.width(), width) << "byte " << at << " = " << int{value};
            }
        }
    }
    EXPECT_GT(rejected, 0);
}

TEST(MetafileDamage, CorruptedEmfRecordsNeverCrash) {
    sweep(richEmf(), kEmfHeaderSize);
}

TEST(MetafileDamage, CorruptedWmfRecordsNeverCrash) {
    sweep(richWmf(), 22 + 18);
}

}  // namespace
}  // namespace quillmere::test
