#include "file_filters.h"

QStringList fileDialogFilters(const char* pattern, const char* typeList) {
    const QString all = QString::fromUtf8(pattern != nullptr ? pattern : "") + u';' +
                        QString::fromUtf8(typeList != nullptr ? typeList : "");
    QStringList filters;
    for (const QString& entry : all.split(u';', Qt::SkipEmptyParts)) {
        const QString filter = entry.trimmed();
        if (filter.isEmpty()) continue;
        filters.append(filter.startsWith(u'.') ? u'*' + filter : filter);
    }
    filters.append(QStringLiteral("*"));
    filters.removeDuplicates();
    return filters;
}
