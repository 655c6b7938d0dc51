// The committed pictures and the version record, checked from their bytes.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

namespace {

std::string Read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Resource(const char* name)
{
    return Read(std::string(TESSARIN_RESOURCES_DIR) + "/" + name);
}

unsigned Byte(const std::string& data, std::size_t at)
{
    return static_cast<unsigned char>(data.at(at));
}
unsigned Little16(const std::string& data, std::size_t at)
{
    return Byte(data, at) | Byte(data, at + 1) << 8;
}
unsigned Big16(const std::string& data, std::size_t at)
{
    return Byte(data, at) << 8 | Byte(data, at + 1);
}

TEST(Resources, ButtonFaceIsABaselineJfifJpeg)
{
    const std::string jpeg = Resource("buttonface.jpg");
    ASSERT_GT(jpeg.size(), 20u);
    EXPECT_EQ(Big16(jpeg, 0), 0xFFD8u) << "start of image";
    EXPECT_EQ(Big16(jpeg, 2), 0xFFE0u) << "APP0 first";
    EXPECT_EQ(jpeg.substr(6, 5), std::string("JFIF\0", 5));
    EXPECT_EQ(Byte(jpeg, 11), 1u) << "JFIF major version";
    EXPECT_EQ(Byte(jpeg, 12), 1u) << "JFIF minor version";
    EXPECT_EQ(Byte(jpeg, 13), 1u) << "density in dots per inch";
    EXPECT_EQ(Big16(jpeg, 14), 72u);
    EXPECT_EQ(Big16(jpeg, 16), 72u);

    // Walk the segments to the frame header.
    std::size_t at = 2;
    unsigned marker = 0;
    while (at + 4 <= jpeg.size()) {
        marker = Big16(jpeg, at);
        if (marker >= 0xFFC0 && marker <= 0xFFCF && marker != 0xFFC4 && marker != 0xFFC8 &&
            marker != 0xFFCC) {
            break;
        }
        at += 2 + Big16(jpeg, at + 2);
    }
    EXPECT_EQ(marker, 0xFFC0u) << "baseline, not progressive";
    EXPECT_EQ(Byte(jpeg, at + 4), 8u) << "8-bit samples";
    EXPECT_EQ(Big16(jpeg, at + 5), 30u) << "height";
    EXPECT_EQ(Big16(jpeg, at + 7), 100u) << "width";
    EXPECT_EQ(Byte(jpeg, at + 9), 3u) << "components";
}

TEST(Resources, WindowIconHoldsTwelveImagesInOrder)
{
    const std::string ico = Resource("tessarin.ico");
    ASSERT_GT(ico.size(), 6u + 12 * 16);
    EXPECT_EQ(Little16(ico, 0), 0u);
    EXPECT_EQ(Little16(ico, 2), 1u) << "icon, not cursor";
    ASSERT_EQ(Little16(ico, 4), 12u);
    std::size_t entry = 6;
    for (unsigned side : {16u, 24u, 32u, 48u}) {
        for (unsigned bits : {4u, 8u, 32u}) {
            SCOPED_TRACE(std::to_string(side) + " px, " + std::to_string(bits) + " bits");
            EXPECT_EQ(Byte(ico, entry), side);
            EXPECT_EQ(Byte(ico, entry + 1), side);
            EXPECT_EQ(Little16(ico, entry + 6), bits);
            const std::size_t offset = Little16(ico, entry + 12) | Little16(ico, entry + 14) << 16;
            ASSERT_LT(offset + 40, ico.size());
            EXPECT_EQ(Little16(ico, offset + 14), bits) << "the image agrees with its entry";
            entry += 16;
        }
    }
}

TEST(Resources, HandCursorIsTwoColoursWithItsHotSpotAtTheFingertip)
{
    const std::string cur = Resource("hand.cur");
    EXPECT_EQ(Little16(cur, 2), 2u) << "cursor";
    ASSERT_EQ(Little16(cur, 4), 1u);
    EXPECT_EQ(Byte(cur, 6), 32u);
    EXPECT_EQ(Byte(cur, 7), 32u);
    EXPECT_EQ(Little16(cur, 10), 5u) << "hot spot column";
    EXPECT_EQ(Little16(cur, 12), 0u) << "hot spot row";

    const QImage image(QString::fromLatin1(TESSARIN_RESOURCES_DIR "/hand.cur"));
    ASSERT_EQ(image.size(), QSize(32, 32));
    QSet<QRgb> opaque;
    int transparent = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            colour.alpha() == 0 ? ++transparent : (opaque.insert(colour.rgb()), 0);
        }
    }
    EXPECT_EQ(opaque, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    EXPECT_GT(transparent, 32 * 32 / 2) << "only the hand is drawn";
    EXPECT_EQ(image.pixelColor(5, 0), QColor(Qt::black)) << "the hot spot is the fingertip";
    EXPECT_EQ(image.pixelColor(5, 1), QColor(Qt::white)) << "a white hand in a black outline";
}

TEST(Resources, VersionRecord)
{
    const std::string rc = Read(TESSARIN_VERSION_RC);
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"FileDescription", "Finds IP of a given Host and vice-versa"},
        {"FileVersion", "2.00"},
        {"ProductVersion", "2.00"},
        {"ProductName", "Tessarin"},
        {"Comments", "Tessarin"},
        {"InternalName", "Tessarin"},
        {"OriginalFilename", "Tessarin.exe"},
        {"CompanyName", "Korvane"},
    };
    const std::size_t block = rc.find("BLOCK \"040904B0\"");
    ASSERT_NE(block, std::string::npos);
    for (const auto& [field, value] : fields) {
        const std::string key = "VALUE \"" + field + "\", \"";
        const std::size_t at = rc.find(key, block);
        ASSERT_NE(at, std::string::npos) << field;
        const std::size_t start = at + key.size();
        EXPECT_EQ(rc.substr(start, rc.find('"', start) - start), value) << field;
    }
    EXPECT_NE(rc.find("FILEVERSION 2,0,0,0"), std::string::npos);
    EXPECT_NE(rc.find("PRODUCTVERSION 2,0,0,0"), std::string::npos);
    EXPECT_NE(rc.find("FILETYPE VFT_APP"), std::string::npos);
    EXPECT_NE(rc.find("FILEOS VOS__WINDOWS32"), std::string::npos);
    EXPECT_NE(rc.find("ICON \"" TESSARIN_RESOURCES_DIR "/tessarin.ico\""), std::string::npos);
}

} // namespace
