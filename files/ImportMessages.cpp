#include "files/ImportMessages.h"

#include "files/ImportText.h"
#include "text/StringUtils.h"

namespace importfile {

std::string FileText(std::string_view Text) {
    std::string Collapsed;
    for (const char C : Trimmed(Text)) {
        if (!IsBlankChar(C))
            Collapsed += C;
        else if (Collapsed.back() != ' ')
            Collapsed += ' ';
    }
    return QuotedStart(Collapsed);
}

} // namespace importfile
