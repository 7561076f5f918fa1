// Label texts mark their access key with "__" before the letter ("__Done": D is the shortcut);
// Qt marks it with "&". Conversions both ways; a literal "&" is "&&" on the Qt side.
#pragma once

#include <QString>

namespace sfpui {

QString labelToQt(const QString& label);
QString labelFromQt(const QString& text);

}  // namespace sfpui
