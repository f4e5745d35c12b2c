// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/bar_renderer.h"

#include "editor/core/render.h"

namespace brev {

void BarRenderer::renderSlots() {
    renderAll(document_.pattern(), holder_.store());
}

} // namespace brev
