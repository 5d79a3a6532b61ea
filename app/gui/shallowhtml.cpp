#include "app/gui/shallowhtml.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace
{
// Elements that hold nothing, or that the next of their kind or their parent's end closes: they
// never nest deeper by themselves.
bool opensNoLevel(const QString &name)
{
    static const QSet<QString> names = { QStringLiteral("area"), QStringLiteral("base"), QStringLiteral("br"),
        QStringLiteral("col"), QStringLiteral("embed"), QStringLiteral("hr"), QStringLiteral("img"),
        QStringLiteral("input"), QStringLiteral("link"), QStringLiteral("meta"), QStringLiteral("param"),
        QStringLiteral("source"), QStringLiteral("track"), QStringLiteral("wbr"), QStringLiteral("p"),
        QStringLiteral("li"), QStringLiteral("dt"), QStringLiteral("dd"), QStringLiteral("tr"),
        QStringLiteral("td"), QStringLiteral("th"), QStringLiteral("thead"), QStringLiteral("tbody"),
        QStringLiteral("tfoot"), QStringLiteral("option"), QStringLiteral("colgroup"),
        QStringLiteral("caption") };
    return names.contains(name);
}

// The parts of a table: inside a table that was dropped they would make rows of the table
// around it.
bool tablePart(const QString &name)
{
    static const QSet<QString> names = { QStringLiteral("tr"), QStringLiteral("td"), QStringLiteral("th"),
        QStringLiteral("thead"), QStringLiteral("tbody"), QStringLiteral("tfoot"), QStringLiteral("caption"),
        QStringLiteral("col"), QStringLiteral("colgroup") };
    return names.contains(name);
}
} // namespace

QString shallowHtml(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)[^>]*>"));
    QString out;
    int copied = 0; // html up to here is in out
    int depth = 0;
    int tables = 0;
    QHash<QString, int> dropped; // open tags dropped, by name, whose end tags go too
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(2).toLower();
        const bool table = name == QLatin1String("table");
        const bool closing = !match.capturedRef(1).isEmpty();
        bool drop = false;
        if (tablePart(name)) {
            drop = dropped.value(QStringLiteral("table")) > 0;
        } else if (opensNoLevel(name) || match.capturedRef(0).endsWith(QLatin1String("/>"))) {
            drop = false;
        } else if (!closing) {
            drop = depth >= kHtmlMaxDepth || (table && tables >= kHtmlMaxTables);
            if (drop) {
                ++dropped[name];
            } else {
                ++depth;
                tables += table;
            }
        } else if (dropped.value(name) > 0) {
            drop = true;
            --dropped[name];
        } else {
            depth = qMax(0, depth - 1);
            tables = qMax(0, tables - int(table));
        }
        if (drop) {
            out += html.midRef(copied, match.capturedStart() - copied);
            copied = match.capturedEnd();
        }
    }
    if (copied == 0)
        return html;
    out += html.midRef(copied);
    return out;
}
