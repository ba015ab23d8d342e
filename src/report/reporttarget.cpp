#include "report/reporttarget.h"

#include <QString>

namespace qv {

int charsetForReportFont(const std::string& name) {
    const QString upper = QString::fromUtf8(name).toUpper();
    if (upper == QStringLiteral("TIMES NEW ROMAN CYR")) return kCyrillicCharset;
    if (upper == QStringLiteral("SYMBOL")) return kSymbolCharset;
    return kDefaultCharset;
}

} // namespace qv
