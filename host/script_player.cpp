// Playing scripted input.
#include "host/script_player.h"

#include "host/output_file.h"
#include "host/system.h"

#include <cstdio>

namespace {

constexpr int kDashboardRows = 90;

WPARAM keysOf(const ScriptStep& step, bool leftHeld, bool rightHeld)
{
    WPARAM keys = 0;
    if (leftHeld) keys |= MK_LBUTTON;
    if (rightHeld) keys |= MK_RBUTTON;
    if (step.shift) keys |= MK_SHIFT;
    if (step.control) keys |= MK_CONTROL;
    return keys;
}

// 1/60 s of sound for each frame: the per-frame motion is meant for 60 frames a second.
constexpr std::uint32_t kSoundFramesPerFrame = kSoundRenderRate / 60;

struct FrameHook {
    ScriptPlayer* player;
    std::string* error;
};

} // namespace

bool savePicture(Browser& browser, bool whole, const std::string& path, std::string& error)
{
    int width = 0;
    int height = 0;
    windowPictureSize(browser.frameWindow(), width, height);
    RECT area{0, 0, width, height};
    if (!whole) area.bottom = height > kDashboardRows ? height - kDashboardRows : 0;
    if (area.bottom <= 0 || area.right <= 0) {
        error = path + ": the world view is empty";
        return false;
    }
    OutputFile picture(path);
    if (!picture.open(error)) return false;
    if (!writeWindowPng(browser.frameWindow(), area, picture.stream())) {
        error = path + ": cannot encode the picture";
        return false;
    }
    return picture.commit(error);
}

void ScriptPlayer::injectMouse(const ScriptStep& step)
{
    UINT message = WM_MOUSEMOVE;
    switch (step.kind) {
    case StepKind::Down:
        message = step.right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
        (step.right ? rightHeld_ : leftHeld_) = true;
        break;
    case StepKind::Up:
        message = step.right ? WM_RBUTTONUP : WM_LBUTTONUP;
        (step.right ? rightHeld_ : leftHeld_) = false;
        break;
    default: break;
    }
    const bool right = rightHeld_ || (step.kind == StepKind::Move && step.right);
    ::injectMouse(browser_.frameWindow(), message, step.x, step.y, keysOf(step, leftHeld_, right));
}

void ScriptPlayer::afterFrame(std::string& error)
{
    ++framesDrawn_;
    if (verbose_) {
        const auto now = std::chrono::steady_clock::now();
        std::fprintf(stderr, "frame %d: %.1f ms\n", framesDrawn_,
                     std::chrono::duration<double, std::milli>(now - lastFrame_).count());
        lastFrame_ = now;
    }
    if (soundtrack_) {
        const std::size_t start = soundtrack_->size();
        soundtrack_->resize(start + kSoundFramesPerFrame * kSoundRenderChannels);
        renderSound(soundtrack_->data() + start, kSoundFramesPerFrame);
    }
    if (!recordPattern_.empty() && error.empty()) // the first failure is the one told
        savePicture(browser_, false, recordName(recordPattern_, ++recorded_), error);
}

int ScriptPlayer::drawFrames(int frames, std::string& error)
{
    FrameHook hook{this, &error};
    lastFrame_ = std::chrono::steady_clock::now();
    return browser_.runFrames(
        frames,
        [](int, void* context) {
            auto* each = static_cast<FrameHook*>(context);
            each->player->afterFrame(*each->error);
        },
        &hook);
}

bool ScriptPlayer::play(const std::vector<ScriptStep>& steps, std::string& error)
{
    for (const ScriptStep& step : steps) {
        if (browser_.closeRequested()) break;
        switch (step.kind) {
        case StepKind::Down:
        case StepKind::Move:
        case StepKind::Up: injectMouse(step); break;
        case StepKind::Frames: drawFrames(step.frames, error); break;
        case StepKind::Shot: savePicture(browser_, step.whole, step.path, error); break;
        case StepKind::Record: recordPattern_ = step.path; break;
        case StepKind::RecordOff: recordPattern_.clear(); break;
        case StepKind::Quit: browser_.requestClose(); break;
        }
        if (!error.empty()) return false;
    }
    return true;
}
