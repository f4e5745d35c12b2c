// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/brev_check_text.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/pattern_history.h"

#include <QComboBox>
#include <QToolButton>
#include <tuple>
#include <type_traits>

namespace brev {

class InfoHandlers;
class PatternToolHandlers;
class WindowCommands;

// The objects whose methods handle the window's events.
// The pattern history opens a step before every handler and closes it after.
using HandlerReceivers =
    std::tuple<WindowCommands*, PatternToolHandlers*, InfoHandlers*, PatternHistory*>;

// A handler as the layout names it: the method's name and what connects a control's event to
// that method. BREV_HANDLER makes both from one token, so a missing or misspelt method, or one
// whose arguments no control's event carries, fails the build.
struct HandlerBinding {
    const char* name = nullptr;
    void (*connect)(QWidget* control, const HandlerReceivers& receivers) = nullptr;

    explicit operator bool() const { return connect != nullptr; }
};

namespace detail {

template <class HandlerReceiver, class Control, auto signal> struct HandlerEvent {
    using Receiver = HandlerReceiver;
    using Sender = Control;
    static constexpr auto kSignal = signal;
};

// The event that a handler's arguments answer.
template <class Method> struct EventOf {
    static_assert(sizeof(Method) == 0, "no control's event carries this handler's arguments");
};
template <class R>
struct EventOf<void (R::*)()> : HandlerEvent<R, QToolButton, &QToolButton::clicked> {};
template <class R>
struct EventOf<void (R::*)(TBrevNumber*, int)>
    : HandlerEvent<R, TBrevNumber, &TBrevNumber::OnChanged> {};
template <class R>
struct EventOf<void (R::*)(TBrevCheckText*, bool)>
    : HandlerEvent<R, TBrevCheckText, &TBrevCheckText::OnChanged> {};
template <class R>
struct EventOf<void (R::*)(TBrevPulseButton*)>
    : HandlerEvent<R, TBrevPulseButton, &TBrevPulseButton::OnPulsed> {};
template <class R>
struct EventOf<void (R::*)(ArrowButton*)> : HandlerEvent<R, ArrowButton, &ArrowButton::OnClick> {};
// Only a choice made by the user, as a list box's change event.
template <class R>
struct EventOf<void (R::*)(int)> : HandlerEvent<R, QComboBox, &QComboBox::activated> {};

// Calls method on a receiver that is no QObject, with the arguments the method takes.
template <auto method, class Receiver, class... Args>
auto callerOf(Receiver* receiver, void (Receiver::*)(Args...)) {
    return [receiver](Args... args) { (receiver->*method)(args...); };
}

template <auto method> void connectTo(QWidget* control, const HandlerReceivers& receivers) {
    using Event = EventOf<decltype(method)>;
    using Receiver = typename Event::Receiver;
    auto* sender = qobject_cast<typename Event::Sender*>(control);
    // The layout gave this handler to a control of another kind.
    Q_ASSERT(sender);
    auto* receiver = std::get<Receiver*>(receivers);
    // Connections run in the order they were made.
    auto* history = std::get<PatternHistory*>(receivers);
    QObject::connect(sender, Event::kSignal, history, &PatternHistory::openStep);
    if constexpr (std::is_base_of_v<QObject, Receiver>) {
        QObject::connect(sender, Event::kSignal, receiver, method);
    } else {
        // The control lives inside the window whose commands it calls: it ends the connection.
        QObject::connect(sender, Event::kSignal, sender, callerOf<method>(receiver, method));
    }
    QObject::connect(sender, Event::kSignal, history, &PatternHistory::closeStep);
}

template <auto method> constexpr HandlerBinding bindingOf(const char* name) {
    return {name, &connectTo<method>};
}

} // namespace detail

} // namespace brev

// The handler Class::Method, as a layout entry holds it.
#define BREV_HANDLER(Class, Method) ::brev::detail::bindingOf<&Class::Method>(#Method)
