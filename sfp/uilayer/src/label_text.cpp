#include "label_text.h"

namespace sfpui {

QString labelToQt(const QString& label) {
    QString text;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == u'&') {
            text += u"&&";
        } else if (label[i] == u'_' && i + 2 < label.size() && label[i + 1] == u'_') {
            text += u'&';
            ++i;
        } else {
            text += label[i];
        }
    }
    return text;
}

QString labelFromQt(const QString& text) {
    QString label;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] == u'&')
                label += u'&';
            else
                label += QStringLiteral("__") + text[i];
        } else {
            label += text[i];
        }
    }
    return label;
}

}  // namespace sfpui
