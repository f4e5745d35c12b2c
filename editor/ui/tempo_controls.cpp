// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/tempo_controls.h"

#include "editor/core/loop_document.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/interface_layout.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace brev {

namespace {

const QString kTargetSetting = QStringLiteral("Target tempo");
const QString kPitchSetting = QStringLiteral("Pitch");
// Just below the slowest target: the spin box's place for "Own".
constexpr double kOwn = (kMinTargetCentiBpm - 1) / 100.0;

} // namespace

// "Own" stands where the loop's own tempo would: steps from it start there, and steps that come
// back to it land on it, so that the wheel goes back the way it came. It can be typed, and an
// empty box means it too.
class TempoSpinBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    double ownBpm = 0;

    void stepBy(int steps) override {
        if (ownBpm <= 0) {
            QDoubleSpinBox::stepBy(steps);
            return;
        }
        const double own = std::round(ownBpm * 100) / 100;
        const double stepped = (value() == minimum() ? own : value()) + steps;
        setValue(std::abs(stepped - own) < 0.005
                     ? minimum()
                     : std::clamp(stepped, kMinTargetCentiBpm / 100.0, maximum()));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override {
        StepEnabled enabled = QDoubleSpinBox::stepEnabled();
        if (value() == minimum() && ownBpm > 0)
            enabled |= StepDownEnabled;
        return enabled;
    }
    QValidator::State validate(QString& text, int& position) const override {
        if (meansOwn(text))
            return QValidator::Acceptable;
        if (QStringLiteral("own").startsWith(text.trimmed(), Qt::CaseInsensitive))
            return QValidator::Intermediate;
        return QDoubleSpinBox::validate(text, position);
    }
    double valueFromText(const QString& text) const override {
        return meansOwn(text) ? minimum() : QDoubleSpinBox::valueFromText(text);
    }
    void fixup(QString& text) const override {
        if (QStringLiteral("own").startsWith(text.trimmed(), Qt::CaseInsensitive))
            text = specialValueText();
        else
            QDoubleSpinBox::fixup(text);
    }

private:
    static bool meansOwn(const QString& text) {
        const QString trimmed = text.trimmed();
        return trimmed.isEmpty() ||
               trimmed.compare(QStringLiteral("own"), Qt::CaseInsensitive) == 0;
    }
};

TempoControls::TempoControls(QWidget& window, EditorSettings& settings, LoopDocument& document,
                             std::function<void()> retune)
    : QWidget(&window), settings_(settings), document_(document), retune_(std::move(retune)),
      tempo_(new TempoSpinBox(this)), own_(new QLabel(this)), pitch_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("TempoControls"));
    setGeometry(kTempoControlsGeometry);
    tempo_->setObjectName(QStringLiteral("TempoSpinBox"));
    tempo_->setDecimals(2);
    tempo_->setRange(kOwn, kMaxTargetCentiBpm / 100.0);
    tempo_->setSpecialValueText(QStringLiteral("Own"));
    tempo_->setKeyboardTracking(false);
    tempo_->setToolTip(QStringLiteral("Tempo the loop is stretched to, keeping its pitch (BPM)"));
    own_->setObjectName(QStringLiteral("OwnTempoLabel"));
    own_->setToolTip(QStringLiteral("The loop's own tempo: it is one bar of four beats"));
    // Beside the widest tempo "own 120.00" may not fit on one line.
    own_->setWordWrap(true);
    pitch_->setObjectName(QStringLiteral("PitchSpinBox"));
    pitch_->setRange(-kMaxPitchSemitones, kMaxPitchSemitones);
    pitch_->setSuffix(QStringLiteral(" st"));
    pitch_->setKeyboardTracking(false);
    pitch_->setToolTip(QStringLiteral("Pitch shift in semitones, keeping the tempo"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel(QStringLiteral("Tempo"), this), 0, 0);
    grid->addWidget(tempo_, 0, 1);
    grid->addWidget(own_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Pitch"), this), 1, 0);
    grid->addWidget(pitch_, 1, 1);
    grid->setColumnStretch(2, 1);
    // Wide enough for the widest tempo, "400.00", and its arrows.
    tempo_->setFixedWidth(std::max(54, tempo_->sizeHint().width()));
    pitch_->setFixedWidth(tempo_->width());
    for (QLabel* label : findChildren<QLabel*>()) {
        QFont condensed = label->font();
        condensed.setStretch(QFont::SemiCondensed);
        if (label == own_ && condensed.pixelSize() > 0)
            condensed.setPixelSize(condensed.pixelSize() - 1);
        label->setFont(condensed);
    }
    showOwnTempo(0);

    connect(tempo_, &QDoubleSpinBox::valueChanged, this, [this] { changed(); });
    connect(pitch_, &QSpinBox::valueChanged, this, [this] { changed(); });
}

void TempoControls::show(const LoopStretch& stretch) {
    display(stretch);
    store();
}

void TempoControls::display(const LoopStretch& stretch) {
    document_.setTarget(stretch);
    const QScopedValueRollback<bool> quiet(showing_, true);
    tempo_->setValue(stretch.targetCentiBpm == 0 ? kOwn : stretch.targetCentiBpm / 100.0);
    pitch_->setValue(stretch.pitchSemitones);
}

void TempoControls::store() {
    settings_.writeInteger(kTargetSetting, document_.target().targetCentiBpm);
    settings_.writeInteger(kPitchSetting, document_.target().pitchSemitones);
}

void TempoControls::restore() {
    const int target = settings_.readInteger(kTargetSetting, 0);
    display({target >= kMinTargetCentiBpm && target <= kMaxTargetCentiBpm ? target : 0,
             settings_.readInteger(kPitchSetting, 0)});
}

void TempoControls::showOwnTempo(double bpm) {
    tempo_->ownBpm = bpm;
    own_->setText(bpm > 0 ? QStringLiteral("own %1").arg(bpm, 0, 'f', 2) : QStringLiteral("own -"));
}

void TempoControls::changed() {
    if (showing_)
        return;
    const int centi = static_cast<int>(std::lround(tempo_->value() * 100));
    document_.setTarget({centi < kMinTargetCentiBpm ? 0 : centi, pitch_->value()});
    store();
    retune_();
}

} // namespace brev
