// The panel's bound controls, expanded from plugin/Controls.def: their ids as named
// constants for the event handlers, and the walks over CTarnik's references to them.
#pragma once

#include <array>
#include <cstddef>

#include "platform/WinTypes.h"

namespace control {

// The ID each control's events carry, named as in the view description.
enum Id : LONG {
#define TARNIK_CONTROL(id, name, Kind) name = id,
#include "plugin/Controls.def"
};

// The Record button's text colours (COLORREF): ready to record, and recording.
inline constexpr LONG kRecordReadyColor = 0x80FF80;
inline constexpr LONG kRecordingColor = 0x8080FF;

inline constexpr std::array kButtonSinkOrder = {
#define TARNIK_BUTTON(id, name, sinkOrder, handler) sinkOrder,
#include "plugin/Controls.def"
};
inline constexpr std::array kChoiceSinkOrder = {
#define TARNIK_CHOICE(id, name, sinkOrder) sinkOrder,
#include "plugin/Controls.def"
};

// The number of sinks when the non-zero orders are 1..N, each once; otherwise -1.
template <std::size_t Size>
constexpr int SinkCount(const std::array<int, Size>& orders) {
    int n = 0;
    for (int order : orders)
        n += order != 0 ? 1 : 0;
    for (int place = 1; place <= n; ++place) {
        int taken = 0;
        for (int order : orders)
            taken += order == place ? 1 : 0;
        if (taken != 1)
            return -1;
    }
    return n;
}
inline constexpr int kButtonSinks = SinkCount(kButtonSinkOrder);
inline constexpr int kChoiceSinks = SinkCount(kChoiceSinkOrder);
static_assert(kButtonSinks == static_cast<int>(kButtonSinkOrder.size()),
              "every button has a sink, and the sink orders are 1..N, each once");
static_assert(kChoiceSinks >= 0, "the choices' sink orders are 1..N, each once");

// Calls visit(reference) for CTarnik's reference to each button, in the order their
// sinks are advised.
template <class Tarnik, class Visit>
void ForEachButtonInSinkOrder(Tarnik& t, Visit&& visit) {
    for (int place = 1; place <= kButtonSinks; ++place) {
#define TARNIK_BUTTON(id, name, sinkOrder, handler) \
    if (sinkOrder == place)                         \
        visit(t.m_##name);
#include "plugin/Controls.def"
    }
}

// The same for the choices that have a sink (sink order above 0).
template <class Tarnik, class Visit>
void ForEachChoiceInSinkOrder(Tarnik& t, Visit&& visit) {
    for (int place = 1; place <= kChoiceSinks; ++place) {
#define TARNIK_CHOICE(id, name, sinkOrder) \
    if (sinkOrder == place)                \
        visit(t.m_##name);
#include "plugin/Controls.def"
    }
}

}  // namespace control

// Calls visit(id, name, reference) with CTarnik's reference m_<name> to each bound
// control, in binding order; the reference is a CComPtr of the control's interface.
template <class Tarnik, class Visit>
void ForEachControl(Tarnik& t, Visit&& visit) {
#define TARNIK_CONTROL(id, name, Kind) visit(control::name, #name, t.m_##name);
#include "plugin/Controls.def"
}
