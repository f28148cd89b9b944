#include "ui/RouteColumns.h"

std::u16string columnHeaderText(const RouteColumn& column, const ActiveLanguage& language) {
    return column.headerKey.empty() ? std::u16string(column.fixedHeader)
                                    : std::u16string(translate(language, column.headerKey));
}
