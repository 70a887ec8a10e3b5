#include "ui/window_table.h"

#include "runtime/error_reporter.h"
#include "ui/template_reader.h"
#include "ui/window_state.h"

namespace ui {

void ReadWindowTemplates(const runtime::AppHeader& header) {
    if (header.templateDataLength == 0) return;
    TemplateSegment segment;
    if (!header.templateDataStart ||
        !ReadTemplateSegment(header.templateDataStart, header.templateDataLength,
                             header.handlerBase, &segment) ||
        !BuildWindowStates(segment.windows)) {
        runtime::Report(runtime::messages::kTemplateSegmentUnreadable, 0);
    }
}

}  // namespace ui
