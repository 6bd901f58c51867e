#include "core/maintenance/lzrw1kh.h"
#include "support/lzrw1khencoder.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <vector>

using namespace kq;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Expands into an area with guard bytes on both sides, so a write outside it shows.
int Expand(const Bytes& block, Bytes* result) {
    std::vector<std::uint8_t> area(kLzrw1khBlockSize + 64, 0xEE);
    const int n = Lzrw1khExpand(block.data(), int(block.size()), area.data() + 32);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(area[i], 0xEE);
        EXPECT_EQ(area[area.size() - 1 - i], 0xEE);
    }
    if (result && n >= 0) result->assign(area.begin() + 32, area.begin() + 32 + n);
    return n;
}

Bytes Literals(int count) {
    Bytes b{0x00, 0x00, 0x00};
    for (int i = 0; i < count; ++i) {
        if (i == 16) b.insert(b.end(), {0x00, 0x00});
        b.push_back(std::uint8_t('a' + i));
    }
    return b;
}

} // namespace

TEST(Lzrw1kh, ExpandsTheItemKinds) {
    struct Case {
        const char* what;
        Bytes block;
        Bytes expected;
    };
    Bytes seventeen;
    for (int i = 0; i < 17; ++i)
        seventeen.push_back(std::uint8_t('a' + i));
    const Case cases[] = {
        {"stored block", {0x80, 1, 2, 3, 4}, {1, 2, 3, 4}},
        {"stored flag alone", {0x80}, {}},
        {"literals then an overlapping copy",
         {0x00, 0x20, 0x00, 0x61, 0x62, 0x00, 0x20},
         {0x61, 0x62, 0x61, 0x62, 0x61}},
        {"run of 20", {0x00, 0x80, 0x00, 0x00, 0x00, 0x04, 0x2A}, Bytes(20, 0x2A)},
        {"17 literals with a second control word", Literals(17), seventeen},
        {"16 literals end without a further control word", Literals(16),
         Bytes(seventeen.begin(), seventeen.end() - 1)},
        {"longest run", {0x00, 0x80, 0x00, 0x00, 0x0F, 0xFF, 0x07}, Bytes(4111, 0x07)},
        {"longest copy, offset 1", {0x00, 0x40, 0x00, 0x55, 0x00, 0x1F}, Bytes(19, 0x55)},
        {"no items", {0x00, 0x00, 0x00}, {}},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_EQ(Expand(c.block, &out), int(c.expected.size())) << c.what;
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

TEST(Lzrw1kh, RejectsCorruptBlocksWithoutLeavingItsAreas) {
    Bytes runs{0x00, 0xFF, 0xFF};
    for (int i = 0; i < 9; ++i)
        runs.insert(runs.end(), {0x00, 0x0F, 0xFF, 0x01}); // 9 x 4111 > 32783
    struct Case {
        const char* what;
        Bytes block;
    };
    const Case cases[] = {
        {"copy before the start", {0x00, 0x80, 0x00, 0x00, 0x10}},
        {"copy offset beyond the output", {0x00, 0x20, 0x00, 0x61, 0x62, 0x00, 0x30}},
        {"copy cut off", {0x00, 0x80, 0x00, 0x00}},
        {"run cut off", {0x00, 0x80, 0x00, 0x00, 0x00, 0x04}},
        {"control word cut off", {0x00, 0x80}},
        {"control word with no items after it",
         [] {
             Bytes b = Literals(16);
             b.insert(b.end(), {0x00, 0x00});
             return b;
         }()},
        {"output beyond the area", runs},
        {"block larger than the area", Bytes(kLzrw1khBlockSize + 1, 0x80)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.block, nullptr), -1) << c.what;
}

TEST(Lzrw1kh, EncodedBlocksExpandToTheirSource) {
    QRandomGenerator rng(7);
    QByteArray text;
    while (text.size() < kLzrw1khBlockSize - 1)
        text += QByteArray("2024-03-07\t张三\t08:0") + QByteArray::number(rng.bounded(10)) + ":00\n";
    text.truncate(kLzrw1khBlockSize - 1);
    QByteArray noise(20000, '\0');
    for (char& c : noise)
        c = char(rng.bounded(256));
    // Repeats at every distance from 1 to 20 bytes, where copies overlap what they write.
    QByteArray periods;
    for (int round = 0; periods.size() < 30000; ++round)
        for (int period = 1; period <= 20; ++period)
            periods += noise.mid(round * 20 + period, period).repeated(2 + int(rng.bounded(5))) +
                       noise.mid(period * 3, int(rng.bounded(4)));
    const QByteArray inputs[] = {
        text, noise, periods, QByteArray(kLzrw1khBlockSize - 1, 'z'), noise.left(5) + QByteArray(5000, 'q'),
        {}};
    for (const QByteArray& input : inputs) {
        const QByteArray block = test::Lzrw1khEncode(input);
        Bytes out;
        ASSERT_EQ(Expand(Bytes(block.begin(), block.end()), &out), int(input.size()));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out.data()), int(out.size())), input);
    }
}
