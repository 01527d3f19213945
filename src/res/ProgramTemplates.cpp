#include "res/ProgramTemplates.h"

namespace tavero::res {

// Each dialog's template is constant data in a file of its own (for example
// MainWindowTemplate.cpp defining kMainWindowTemplate, declared in MainWindowTemplate.h) and
// gets one entry in this list: `templates{&kMainWindowTemplate, &kWobbelTemplate, ...}`.
const TemplateSet& programTemplates() {
    static const TemplateSet templates{};
    return templates;
}

}  // namespace tavero::res
