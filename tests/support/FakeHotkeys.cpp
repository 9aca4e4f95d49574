#include "tests/support/FakeHotkeys.h"

#include <algorithm>

namespace varnoset::test {

void FakeHotkeys::registerHotkey(int id, Modifier modifier, std::uint32_t keySymbol) {
    log_.add(QStringLiteral("register %1 %2 %3")
                 .arg(id)
                 .arg(modifier == Modifier::Alt ? "alt" : "alone")
                 .arg(keySymbol, 0, 16));
    unregister(id);
    registered.push_back({id, modifier, keySymbol});
}

void FakeHotkeys::unregisterHotkey(int id) {
    log_.add(QStringLiteral("unregister %1").arg(id));
    unregister(id);
}

bool FakeHotkeys::isHeld(int id) const {
    const Registration* r = find(id);
    return r != nullptr && r->keySymbol != 0 &&
           std::find(takenElsewhere.begin(), takenElsewhere.end(), r->keySymbol) ==
               takenElsewhere.end();
}

const FakeHotkeys::Registration* FakeHotkeys::find(int id) const {
    for (const auto& r : registered) {
        if (r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

bool FakeHotkeys::press(int id) {
    if (!handler_) {
        return false;
    }
    handler_(id);
    return true;
}

void FakeHotkeys::unregister(int id) {
    std::erase_if(registered, [id](const Registration& r) { return r.id == id; });
}

}  // namespace varnoset::test
