#include "app/speed_stack.h"

#include "app/settings.h"
#include "script/keywords.h"
#include "script/numbers.h"
#include "script/sjis_text.h"

namespace talu::app {

namespace kw = script::kw;

void SpeedStack::Apply(const script::TagRecord& tag, Settings& settings) {
    PairedSetting* waits[4] = {&settings.textWait, &settings.charWait, &settings.backWait,
                               &settings.fadeWait};
    if (tag.IsClosing()) {
        if (!entries_.empty()) {
            for (int i = 0; i < 4; ++i) {
                waits[i]->current = entries_.back()[i];
            }
            entries_.pop_back();
        }
        return;
    }
    if (entries_.size() == kDepth) {
        entries_.pop_front();
    }
    entries_.push_back(
        {waits[0]->current, waits[1]->current, waits[2]->current, waits[3]->current});
    const std::pair<int, PairedSetting*> named[] = {{kw::kBack, &settings.backWait},
                                                    {kw::kCharacter, &settings.charWait},
                                                    {kw::kText, &settings.textWait},
                                                    {kw::kFade, &settings.fadeWait}};
    for (const auto& [id, wait] : named) {
        if (auto value = tag.FindAttribute(id)) {
            wait->current = script::ToUpperAscii(*value) == "USER" ? wait->user.load()
                                                                   : script::ParseDigits(*value);
        }
    }
}

}  // namespace talu::app
