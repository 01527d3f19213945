// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/AboutTemplate.h"

#include "res/ControlTemplate.h"
#include "res/StandardIds.h"

namespace tavero::res {

namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::Picture, .rect = {10, 10, 32, 32}, .picture = Picture::logo()},
    {.kind = ControlKind::Label,
     .text = "Tavero DDS-Funktionsgenerator\nSoftwareversion 1.2",
     .rect = {52, 10, 160, 20}},
    {.kind = ControlKind::Label, .text = "Steuerprogramm für Linux", .rect = {52, 34, 160, 10}},
    {.kind = ControlKind::Label,
     .id = 1077,
     .text = "Direkte digitale Synthese bis 30 MHz",
     .rect = {52, 46, 160, 10}},
    {.kind = ControlKind::Label,
     .id = kAboutFirmwareLabel,
     .text = "Firmwareversion X.XX",
     .rect = {52, 58, 160, 10}},
    {.kind = ControlKind::Button,
     .id = kIdOk,
     .text = "OK",
     .rect = {172, 76, 40, 14},
     .style = style::kDefault},
};

}  // namespace

const DialogTemplate kAboutTemplate = {
    .id = kAboutId,
    .title = "Info über Tavero",
    .size = {222, 98},
    .controls = kControls,
};

}  // namespace tavero::res
