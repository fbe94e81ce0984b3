// Cost of composing one launcher frame in 16-bit memory, as a multiple of copying one frame with memcpy in the
// same run; per-step benchmarks show where the time goes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/gfx/KeyedSprite565.h"
#include "common/gfx/PixelOps.h"
#include "common/gfx/Surface565.h"

namespace {

using common::Bitmap565;
using common::PixelRect;
using common::Surface565;

constexpr int kWindowWidth = 330;
constexpr int kWindowHeight = 556;
constexpr PixelRect kPageArea{15, 110, 300, 360};
constexpr int kIcon = 48;
constexpr int kIconsPerPage = 16;
constexpr int kSwipeOffset = -120;  // mid-swipe: the next page shows on the right
constexpr uint16_t kKey = 0;
constexpr const char* kBaselineName = "BM_FrameMemcpyBaseline";

void FillOpaqueArt(Surface565 surface, uint16_t seed) {
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            surface.Row(y)[x] = static_cast<uint16_t>(seed + x * 3 + y * 17) | 0x0841;
        }
    }
}

// Round art on a black (key) square, as icons and buttons are drawn: the corners are keyed.
void FillRoundArt(Surface565 surface, uint16_t seed) {
    const int cx = surface.Width() / 2;
    const int cy = surface.Height() / 2;
    const int r2 = cx * cx;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            int dx = x - cx;
            int dy = y - cy;
            bool isInside = dx * dx + dy * dy <= r2;
            surface.Row(y)[x] = isInside ? static_cast<uint16_t>((seed + x * 5 + y) | 0x0841) : kKey;
        }
    }
}

// The pictures the launcher holds, made once as at start-up.
struct Scene {
    Bitmap565 frame{kWindowWidth, kWindowHeight};
    Bitmap565 skin{kWindowWidth, kWindowHeight};
    Bitmap565 background{kPageArea.width, kPageArea.height};
    Bitmap565 pageBuffer{kPageArea.width, kPageArea.height};
    Bitmap565 currentPage{kPageArea.width, kPageArea.height};
    Bitmap565 nextPage{kPageArea.width, kPageArea.height};
    std::vector<Bitmap565> icons;
    Bitmap565 indicatorOn{11, 11};
    Bitmap565 indicatorOff{11, 11};
    Bitmap565 home{38, 38};
    Bitmap565 exit{20, 20};
    std::vector<Bitmap565> menu;
    PixelRect slots[kIconsPerPage];
    Bitmap565 backdrop{kWindowWidth, kWindowHeight};
    common::KeyedSprite565 iconSprites[kIconsPerPage];
    common::KeyedSprite565 indicatorOnSprite;
    common::KeyedSprite565 indicatorOffSprite;
    common::KeyedSprite565 homeSprite;
    common::KeyedSprite565 exitSprite;
    common::KeyedSprite565 menuSprites[4];

    Scene() {
        FillOpaqueArt(skin.View(), 0x1000);
        FillOpaqueArt(background.View(), 0x2000);
        // A photograph has a few pure-black pixels that let the skin through.
        for (int y = 0; y < kPageArea.height; y += 7) {
            background.View().Row(y)[(y * 13) % kPageArea.width] = kKey;
        }
        for (int i = 0; i < kIconsPerPage; ++i) {
            icons.emplace_back(kIcon, kIcon);
            FillRoundArt(icons.back().View(), static_cast<uint16_t>(0x300 * i));
            slots[i] = PixelRect{12 + (i % 4) * 72, 10 + (i / 4) * 86, kIcon, kIcon};
        }
        FillRoundArt(indicatorOn.View(), 0xF000);
        FillRoundArt(indicatorOff.View(), 0x7000);
        FillRoundArt(home.View(), 0x4000);
        FillRoundArt(exit.View(), 0x5000);
        for (int i = 0; i < 4; ++i) {
            menu.emplace_back(kIcon, kIcon);
            FillRoundArt(menu.back().View(), static_cast<uint16_t>(0x6000 + i));
        }
        ComposeBackdrop();
        PrepareSprites();
    }

    void DrawPage(Surface565 page, int stripX) {
        common::FillRect565(page, common::WholeOf(page), kKey);
        for (int i = 0; i < kIconsPerPage; ++i) {
            Surface565 icon = icons[i].View();
            common::CopyKeyed565(page, slots[i].x, slots[i].y, icon, common::WholeOf(icon), kKey);
        }
        common::CopyOpaque565(pageBuffer.View(), stripX, 0, page, common::WholeOf(page));
    }

    // The launcher's way (CMainPage::Paint): the skin with the background picture keyed over it is kept as one
    // backdrop picture, made again only when either changes, and copied whole; every keyed picture is drawn
    // through the runs GPicture prepares on its first keyed draw, the icons straight into the frame's page area
    // (clipped to it). A page picture is black except its icons' non-key pixels, and so is the page buffer, so
    // this gives the same frame as the older way through page pictures below.
    void ComposeFrameDirect() {
        Surface565 out = frame.View();
        common::CopyOpaque565(out, 0, 0, backdrop.View(), common::WholeOf(backdrop.View()));
        DrawPageSprites();
        DrawChromeSprites(out);
    }

    // A slide step as the launcher draws it (CMainPage::Paint when only the page offset changed): the same drawing
    // as a whole frame, clipped to the page area, into the frame left from the step before.
    void ComposeSlideStep() {
        Surface565 clipped = frame.View().Sub(kPageArea);
        common::CopyOpaque565(clipped, 0, 0, backdrop.View(), kPageArea);
        DrawPageSprites();
        DrawChromeSprites(clipped, -kPageArea.x, -kPageArea.y);
    }

    // Made once per skin or background picture.
    void ComposeBackdrop() {
        Surface565 out = backdrop.View();
        common::CopyOpaque565(out, 0, 0, skin.View(), common::WholeOf(skin.View()));
        common::CopyKeyed565(out, kPageArea.x, kPageArea.y, background.View(), common::WholeOf(background.View()),
                             kKey);
    }

    // The launcher's way before the backdrop and the runs: skin and background every frame, every picture keyed
    // in blocks.
    void ComposeFrameBlocks() {
        Surface565 out = frame.View();
        common::CopyOpaque565(out, 0, 0, skin.View(), common::WholeOf(skin.View()));
        common::CopyKeyed565(out, kPageArea.x, kPageArea.y, background.View(), common::WholeOf(background.View()),
                             kKey);
        Surface565 pageArea = out.Sub(kPageArea);
        for (int stripX : {kSwipeOffset, kSwipeOffset + kPageArea.width}) {
            for (int i = 0; i < kIconsPerPage; ++i) {
                Surface565 icon = icons[i].View();
                common::CopyKeyed565(pageArea, stripX + slots[i].x, slots[i].y, icon, common::WholeOf(icon), kKey);
            }
        }
        DrawChrome(out);
    }

    void PrepareSprites() {
        for (int i = 0; i < kIconsPerPage; ++i) {
            iconSprites[i].Build(icons[i].View(), kKey);
        }
        indicatorOnSprite.Build(indicatorOn.View(), kKey);
        indicatorOffSprite.Build(indicatorOff.View(), kKey);
        homeSprite.Build(home.View(), kKey);
        exitSprite.Build(exit.View(), kKey);
        for (int i = 0; i < 4; ++i) {
            menuSprites[i].Build(menu[i].View(), kKey);
        }
    }

    void DrawPageSprites() {
        Surface565 pageArea = frame.View().Sub(kPageArea);
        for (int stripX : {kSwipeOffset, kSwipeOffset + kPageArea.width}) {
            for (int i = 0; i < kIconsPerPage; ++i) {
                iconSprites[i].Draw(pageArea, stripX + slots[i].x, slots[i].y);
            }
        }
    }

    // (dx, dy) shifts every picture: drawing into a clipped part of the frame.
    void DrawChromeSprites(Surface565 out, int dx = 0, int dy = 0) {
        for (int page = 0; page < 3; ++page) {
            (page == 0 ? indicatorOnSprite : indicatorOffSprite).Draw(out, dx + 144 + 18 * page, dy + 480);
        }
        homeSprite.Draw(out, dx + 146, dy + 500);
        exitSprite.Draw(out, dx + 300, dy + 8);
        for (int i = 0; i < 4; ++i) {
            menuSprites[i].Draw(out, dx + kPageArea.x + 20 + 72 * i, dy + 40);
        }
    }

    void DrawChrome(Surface565 out) {
        for (int page = 0; page < 3; ++page) {
            Surface565 indicator = page == 0 ? indicatorOn.View() : indicatorOff.View();
            common::CopyKeyed565(out, 144 + 18 * page, 480, indicator, common::WholeOf(indicator), kKey);
        }
        common::CopyKeyed565(out, 146, 500, home.View(), common::WholeOf(home.View()), kKey);
        common::CopyKeyed565(out, 300, 8, exit.View(), common::WholeOf(exit.View()), kKey);
        for (int i = 0; i < 4; ++i) {
            common::CopyKeyed565(out, kPageArea.x + 20 + 72 * i, 40, menu[i].View(), common::WholeOf(menu[i].View()),
                                 kKey);
        }
    }

    void ComposeFrame() {
        Surface565 out = frame.View();
        common::CopyOpaque565(out, 0, 0, skin.View(), common::WholeOf(skin.View()));
        common::CopyKeyed565(out, kPageArea.x, kPageArea.y, background.View(), common::WholeOf(background.View()),
                             kKey);
        common::FillRect565(pageBuffer.View(), common::WholeOf(pageBuffer.View()), kKey);
        DrawPage(currentPage.View(), kSwipeOffset);
        DrawPage(nextPage.View(), kSwipeOffset + kPageArea.width);
        common::CopyKeyed565(out, kPageArea.x, kPageArea.y, pageBuffer.View(), common::WholeOf(pageBuffer.View()),
                             kKey);
        DrawChrome(out);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// The straightforward keyed copy, to show what the block skipping buys.
void NaiveKeyedCopy(Surface565 dest, int x, int y, Surface565 source, uint16_t key) {
    for (int row = 0; row < source.Height(); ++row) {
        const uint16_t* in = source.Row(row);
        uint16_t* out = dest.Row(y + row) + x;
        for (int col = 0; col < source.Width(); ++col) {
            if (in[col] != key) {
                out[col] = in[col];
            }
        }
    }
}

void BM_FrameMemcpyBaseline(benchmark::State& state) {
    std::vector<uint8_t> from(kWindowWidth * kWindowHeight * 2, 1);
    std::vector<uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpyBaseline);

void BM_ComposeFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.ComposeFrame();
        benchmark::DoNotOptimize(scene.frame.View().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFrame);

void BM_ComposeFrameDirect(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.ComposeFrameDirect();
        benchmark::DoNotOptimize(scene.frame.View().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFrameDirect);

void BM_ComposeSlideStep(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.ComposeFrameDirect();
    for (auto _ : state) {
        scene.ComposeSlideStep();
        benchmark::DoNotOptimize(scene.frame.View().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeSlideStep);

void BM_ComposeFrameBlocks(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.ComposeFrameBlocks();
        benchmark::DoNotOptimize(scene.frame.View().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeFrameBlocks);

void BM_StepBackdropOpaque(benchmark::State& state) {
    Scene& scene = TheScene();
    Surface565 backdrop = scene.backdrop.View();
    for (auto _ : state) {
        common::CopyOpaque565(scene.frame.View(), 0, 0, backdrop, common::WholeOf(backdrop));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepBackdropOpaque);

void BM_StepBackdropCompose(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.ComposeBackdrop();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepBackdropCompose);

void BM_StepIconSprite(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.iconSprites[0].Draw(scene.currentPage.View(), 12, 10);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepIconSprite);

// The two pages' icons of a mid-swipe frame: half inside the page area, a quarter clipped by its edges.
void BM_StepPageSprites(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.DrawPageSprites();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepPageSprites);

void BM_StepChromeSprites(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.DrawChromeSprites(scene.frame.View());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepChromeSprites);

void BM_StepIconSpriteBuild(benchmark::State& state) {
    Scene& scene = TheScene();
    common::KeyedSprite565 sprite;
    for (auto _ : state) {
        sprite.Build(scene.icons[0].View(), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepIconSpriteBuild);

void BM_StepPageBufferClear(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        common::FillRect565(scene.pageBuffer.View(), common::WholeOf(scene.pageBuffer.View()), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepPageBufferClear);

void BM_StepSkinOpaque(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        common::CopyOpaque565(scene.frame.View(), 0, 0, scene.skin.View(), common::WholeOf(scene.skin.View()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepSkinOpaque);

void BM_StepBackgroundKeyed(benchmark::State& state) {
    Scene& scene = TheScene();
    Surface565 background = scene.background.View();
    for (auto _ : state) {
        common::CopyKeyed565(scene.frame.View(), kPageArea.x, kPageArea.y, background, common::WholeOf(background),
                             kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepBackgroundKeyed);

void BM_StepBackgroundNaiveKeyed(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        NaiveKeyedCopy(scene.frame.View(), kPageArea.x, kPageArea.y, scene.background.View(), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepBackgroundNaiveKeyed);

void BM_StepOnePage(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        scene.DrawPage(scene.currentPage.View(), kSwipeOffset);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepOnePage);

void BM_StepPageBufferKeyed(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.ComposeFrame();  // leaves a realistic page buffer: mostly black with two pages of icons
    Surface565 buffer = scene.pageBuffer.View();
    for (auto _ : state) {
        common::CopyKeyed565(scene.frame.View(), kPageArea.x, kPageArea.y, buffer, common::WholeOf(buffer), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepPageBufferKeyed);

void BM_StepPageBufferNaiveKeyed(benchmark::State& state) {
    Scene& scene = TheScene();
    scene.ComposeFrame();
    for (auto _ : state) {
        NaiveKeyedCopy(scene.frame.View(), kPageArea.x, kPageArea.y, scene.pageBuffer.View(), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepPageBufferNaiveKeyed);

void BM_StepIconKeyed(benchmark::State& state) {
    Scene& scene = TheScene();
    Surface565 icon = scene.icons[0].View();
    for (auto _ : state) {
        common::CopyKeyed565(scene.currentPage.View(), 12, 10, icon, common::WholeOf(icon), kKey);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StepIconKeyed);

// Prints every benchmark's CPU time (the machine may be shared) as a multiple of the memcpy baseline from the
// same run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto baseline = m_times.find(kBaselineName);
        if (baseline == m_times.end() || baseline->second <= 0) {
            return;
        }
        std::printf("\nRatio to %s (same run):\n", kBaselineName);
        for (const auto& [name, time] : m_times) {
            std::printf("  %-32s %7.2fx\n", name.c_str(), time / baseline->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
