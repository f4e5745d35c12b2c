// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/interface_form.h"
#include "editor/ui/pattern_history.h"

namespace brev {

// What the tests and benchmarks look at in the window beyond what its users get through its
// interfaces: its controls by name, the undo history, the device list and its dialogs.
class WindowProbe {
public:
    explicit WindowProbe(const TInterfaceForm& form) : form_(form) {}

    QWidget* findComponent(QStringView name) const { return form_.findComponent(name); }
    template <class T> T* component(QStringView name) const { return form_.component<T>(name); }
    PatternHistory& history() const { return *form_.history_; }
    WaveformStrip* waveformStrip() const { return form_.widgets_.waveform; }
    QComboBox* driversComboBox() const { return form_.widgets_.drivers; }
    QFileDialog* openDialog() const { return form_.widgets_.openDialog; }
    QFileDialog* saveDialog() const { return form_.widgets_.saveDialog; }
    int driverIndex() const { return form_.driverIndex_; }
    bool hintsShown() const { return form_.hintsShown_; }

private:
    const TInterfaceForm& form_;
};

inline WindowProbe probe(const TInterfaceForm& form) {
    return WindowProbe(form);
}

} // namespace brev
