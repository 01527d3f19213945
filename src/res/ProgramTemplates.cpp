// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/ProgramTemplates.h"

#include "res/AboutTemplate.h"
#include "res/AmplitudeTemplate.h"
#include "res/AufgabenlisteTemplate.h"
#include "res/MainWindowTemplate.h"
#include "res/ModulationTemplate.h"
#include "res/OffsetTemplate.h"
#include "res/OszillatorTemplate.h"
#include "res/PllTemplate.h"
#include "res/WobbelTemplate.h"

namespace tavero::res {

// Each dialog's template is constant data in a file of its own (for example
// MainWindowTemplate.cpp defining kMainWindowTemplate, declared in MainWindowTemplate.h) and
// gets one entry in this list: `templates{&kMainWindowTemplate, &kWobbelTemplate, ...}`.
const TemplateSet& programTemplates() {
    static const TemplateSet templates{
        &kMainWindowTemplate, &kAboutTemplate,      &kOffsetTemplate,
        &kAmplitudeTemplate,  &kOszillatorTemplate, &kWobbelTemplate,
        &kModulationTemplate, &kPllTemplate,        &kAufgabenlisteTemplate,
    };
    return templates;
}

}  // namespace tavero::res
