// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brev {

// Keeps the values of controls that are views of it: a control bound to a store keeps no value
// of its own, and shows a new one when the store tells it to.
class ControlStore {
public:
    virtual int storedValue(int control) const = 0;
    // The store clamps the value, keeps it, has its views show it and runs what follows.
    virtual void store(int control, int value) = 0;

protected:
    ~ControlStore() = default;
};

} // namespace brev
