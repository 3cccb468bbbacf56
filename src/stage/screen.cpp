#include "stage/screen.h"

#include <utility>

namespace talu::stage {

bool Screen::Create(const PixelFormat& format, int width, int height) {
    std::lock_guard lock(mutex_);
    return buffer_.Create(width, height, format);
}

int Screen::Width() const {
    std::lock_guard lock(mutex_);
    return buffer_.Width();
}

int Screen::Height() const {
    std::lock_guard lock(mutex_);
    return buffer_.Height();
}

PixelFormat Screen::Format() const {
    std::lock_guard lock(mutex_);
    return buffer_.Format();
}

void Screen::SetPresentedCallback(PresentedCallback callback) {
    std::lock_guard lock(callbackMutex_);
    presented_ = std::move(callback);
}

bool Screen::Present(const Surface& source, const Rect& sourceRect, const Rect& targetRect,
                     uint32_t flags) {
    bool copied = false;
    Rect changed;
    {
        std::lock_guard lock(mutex_);
        copied = source.CopyTo(sourceRect, buffer_, targetRect, flags);
        changed = targetRect.Intersect(buffer_.Bounds());
    }
    if (copied) {
        Report(changed);
    }
    return copied;
}

void Screen::Draw(const std::function<Rect(Surface&)>& draw) {
    Rect changed;
    {
        std::lock_guard lock(mutex_);
        changed = draw(buffer_).Intersect(buffer_.Bounds());
    }
    if (!changed.IsEmpty()) {
        Report(changed);
    }
}

bool Screen::CopyOut(Surface& out) const {
    std::lock_guard lock(mutex_);
    if (!buffer_.IsLoaded() || !out.Create(buffer_.Width(), buffer_.Height(), buffer_.Format())) {
        return false;
    }
    return buffer_.CopyTo(buffer_.Bounds(), out, out.Bounds(), 0);
}

void Screen::Report(const Rect& changed) {
    PresentedCallback callback;
    {
        std::lock_guard lock(callbackMutex_);
        callback = presented_;
    }
    if (callback) {
        callback(changed);
    }
}

}  // namespace talu::stage
