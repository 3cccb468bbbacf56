#include "stage/screen.h"

#include <utility>

namespace talu::stage {

bool Screen::Create(const PixelFormat& format, int width, int height) {
    std::lock_guard lock(mutex_);
    dirty_ = Rect{};
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

void Screen::SetChangedCallback(ChangedCallback callback) {
    std::lock_guard lock(callbackMutex_);
    changed_ = std::move(callback);
}

bool Screen::Present(const Surface& source, const Rect& sourceRect, const Rect& targetRect,
                     uint32_t flags) {
    bool copied = false;
    {
        std::lock_guard lock(mutex_);
        copied = source.CopyTo(sourceRect, buffer_, targetRect, flags);
        if (copied) {
            Record(targetRect);
        }
    }
    if (copied) {
        Notify();
    }
    return copied;
}

void Screen::Draw(const std::function<Rect(Surface&)>& draw) {
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        const Rect rect = draw(buffer_).Intersect(buffer_.Bounds());
        changed = !rect.IsEmpty();
        if (changed) {
            Record(rect);
        }
    }
    if (changed) {
        Notify();
    }
}

ScreenDirty Screen::TakeDirty() {
    std::lock_guard lock(mutex_);
    return ScreenDirty{std::exchange(dirty_, Rect{})};
}

void Screen::WithPixels(const PixelReader& read) const {
    std::lock_guard lock(mutex_);
    if (buffer_.IsLoaded()) {
        read(buffer_.Row(0), buffer_.Pitch(), buffer_.Width(), buffer_.Height());
    }
}

bool Screen::CopyOut(Surface& out) const {
    std::lock_guard lock(mutex_);
    if (!buffer_.IsLoaded()) {
        return false;
    }
    const bool fits = out.IsLoaded() && out.Width() == buffer_.Width() &&
                      out.Height() == buffer_.Height() && out.Format() == buffer_.Format();
    if (!fits && !out.Create(buffer_.Width(), buffer_.Height(), buffer_.Format())) {
        return false;
    }
    return buffer_.CopyTo(buffer_.Bounds(), out, out.Bounds(), 0);
}

void Screen::ReleaseNotifications() {
    if (holds_.fetch_sub(1) == 1 && pending_.exchange(false)) {
        Notify();
    }
}

void Screen::Record(const Rect& changed) {
    dirty_ = dirty_.Union(changed.Intersect(buffer_.Bounds()));
}

void Screen::Notify() {
    if (holds_.load() > 0) {
        pending_ = true;
        // A hold released between the two looks would have missed the flag.
        if (holds_.load() > 0 || !pending_.exchange(false)) {
            return;
        }
    }
    ChangedCallback callback;
    {
        std::lock_guard lock(callbackMutex_);
        callback = changed_;
    }
    if (callback) {
        callback();
    }
}

}  // namespace talu::stage
