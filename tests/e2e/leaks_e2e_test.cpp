// Long runs of commands and repaints: the program's memory settles and the picture is still drawn.
#include "fixture.h"
#include "robust_support.h"

#include <cstdio>
#include <iterator>
#include <random>

namespace {

class LeakTest : public PointexTest {
  protected:
    // One user action drawn at random: stepping, solutions, numbers, the random commands,
    // categories, searches (also refused ones, whose box is closed), clearing, check marks.
    void randomAction(std::mt19937& random) {
        static const wchar_t* const texts[] = {L"Witz", L"frosch", L"Drucker",
                                               L"ab",   L"zzz",    L"B\u00e4r"};
        switch (random() % 12) {
        case 0:
        case 1:
            ASSERT_TRUE(app.click(308));
            break;
        case 2:
            ASSERT_TRUE(app.click(307));
            break;
        case 3:
            if (app.enabled(303)) {
                ASSERT_TRUE(app.click(303));
            }
            break;
        case 4:
            ASSERT_TRUE(app.replaceText(302, std::to_wstring(random() % 16)));
            break;
        case 5:
            ASSERT_TRUE(app.click(304 + static_cast<int>(random() % 3)));
            break;
        case 6:
            ASSERT_TRUE(app.chooseCategory(static_cast<int>(random() % 4)));
            break;
        case 7:
        case 8:
            searchFor(app, texts[random() % std::size(texts)]);
            for (const auto& box : app.messageBoxes()) {
                ASSERT_TRUE(app.dismiss(box));
            }
            break;
        case 9:
            ASSERT_TRUE(app.command(311));
            break;
        default:
            ASSERT_TRUE(app.command(random() % 2 ? 313 : 314));
        }
    }

    // Pixels of the 128 x 128 picture at (10, 10) of the client area, on a grid.
    std::vector<COLORREF> picture() {
        std::vector<COLORREF> pixels;
        for (int y = 14; y < 138; y += 20) {
            for (int x = 14; x < 138; x += 20) {
                pixels.push_back(clientPixel(app, x, y));
            }
        }
        pixels.push_back(clientPixel(app, 74, 74));
        return pixels;
    }

    SIZE_T run(std::mt19937& random, int actions, int repaintsPerAction) {
        for (int i = 0; i < actions; ++i) {
            randomAction(random);
            if (HasFatalFailure()) {
                return 0;
            }
            for (int p = 0; p < repaintsPerAction; ++p) {
                EXPECT_TRUE(app.repaint());
            }
        }
        EXPECT_TRUE(app.command(311));
        return app.privateBytes();
    }
};

// A leaked read buffer per command, or a leaked icon per paint, would add over 100 MB; a leaked
// FILE per file read some MB. Heap noise after the warm-up stays within a few pages.
TEST_F(LeakTest, ThousandCommandsAndTwoThousandRepaintsKeepMemorySteady) {
    constexpr SIZE_T tolerance = 512 * 1024;
    writeSampleFolder();
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(app.repaint());
    // Wine copies a window's drawing to the screen a moment after the paint.
    auto pictureShown = [&] { return clientPixel(app, 74, 74) != clientPixel(app, 5, 5); };
    EXPECT_TRUE(e2e::waitFor(pictureShown, e2e::commandTimeout)) << "no picture after start";
    const SIZE_T atStart = app.privateBytes();

    // Repaints do not erase, so the picture's soft edges darken over the first paints; it is
    // compared once they have settled.
    std::mt19937 random(2024);
    const SIZE_T baseline = run(random, 200, 2);
    ASSERT_FALSE(HasFatalFailure());
    const auto drawn = picture();
    std::vector<SIZE_T> rounds;
    for (int round = 0; round < 4; ++round) {
        rounds.push_back(run(random, 250, 2));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_LE(rounds.back(), baseline + tolerance) << "after round " << round + 1;
    }
    std::printf("private bytes: start %lu, after the warm-up %lu, after each 250 commands "
                "and 500 repaints:",
                static_cast<unsigned long>(atStart), static_cast<unsigned long>(baseline));
    for (SIZE_T bytes : rounds) {
        std::printf(" %lu", static_cast<unsigned long>(bytes));
    }
    std::printf("\n");
    EXPECT_EQ(picture(), drawn) << "the picture changed or is gone";
    EXPECT_TRUE(e2e::waitFor(pictureShown, e2e::commandTimeout)) << "no picture at the end";
}

} // namespace
