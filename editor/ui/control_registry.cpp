// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/control_registry.h"

namespace brev {

void ControlRegistry::registerChildren(const QWidget& window) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            controls_.insert(child->objectName().toLower(), child);
    }
}

} // namespace brev
