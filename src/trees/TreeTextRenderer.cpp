#include "trees/TreeTextRenderer.h"

void WriteTreeText(const QorvelTree& tree, QTextStream& out, QStringView lineBreak) {
    if (tree.isEmpty()) {
        return;
    }
    out << tree.root.name << lineBreak;
    // The indent of the deepest line so far, kept so that each line costs its own length only.
    QString indent;
    ForEachItem(tree, [&](const CQorvelItem& item, int depth) {
        const qsizetype width = 4 * qsizetype(depth);
        if (indent.size() < width) {
            indent.resize(width, QLatin1Char(' '));
        }
        out << QStringView(indent).left(width) << item.name;
        if (item.searched) {
            out << QLatin1String(" (*)");
        }
        if (item.expandedElsewhere) {
            out << QLatin1String(" (...)");
        }
        out << lineBreak;
        return true;
    });
}

QString TreeText(const QorvelTree& tree) {
    QString text;
    QTextStream out(&text);
    WriteTreeText(tree, out, u"\r\n");
    out.flush();
    return text;
}
