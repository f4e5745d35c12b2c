// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/name_index.h"

namespace brev {

std::size_t NameIndex::probe(std::string_view name, std::uint32_t hash) const {
    // The table's size is a power of two and never full, so a free slot ends every search.
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].position != kFree &&
           (slots_[at].hash != hash || !equalIgnoringCase(slots_[at].name, name)))
        at = (at + 1) & mask;
    return at;
}

std::size_t NameIndex::find(std::string_view name) const {
    if (slots_.empty())
        return npos;
    const Slot& slot = slots_[probe(name, static_cast<std::uint32_t>(NoCaseHash()(name)))];
    return slot.position == kFree ? npos : slot.position;
}

std::size_t NameIndex::insert(std::string_view name, std::size_t position) {
    if (2 * (used_ + 1) > slots_.size())
        grow();
    const auto hash = static_cast<std::uint32_t>(NoCaseHash()(name));
    Slot& slot = slots_[probe(name, hash)];
    if (slot.position == kFree) {
        slot = {name, hash, static_cast<std::uint32_t>(position)};
        ++used_;
    }
    return slot.position;
}

void NameIndex::grow() {
    // Fourfold, so a table filled one name at a time is copied few times.
    std::vector<Slot> old(slots_.empty() ? 16 : 4 * slots_.size());
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (slot.position != kFree)
            slots_[probe(slot.name, slot.hash)] = slot;
    }
}

} // namespace brev
