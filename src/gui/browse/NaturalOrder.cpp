#include "gui/browse/NaturalOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <numeric>
#include <utility>

namespace vantrel::gui {
namespace {

// One per thread: a collator is not safe to share between threads.
const QCollator& Caseless() {
    static thread_local const QCollator collator = [] {
        QCollator c;
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

const QCollator& Exact() {
    static thread_local const QCollator collator = [] {
        QCollator c;
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

// The C and POSIX locales collate by code point and know no numbers: there, runs of digits are
// compared by their value here, and letters without regard to case.
bool PlainLocale() { return QLocale().language() == QLocale::C; }

int PlainCompare(const QString& a, const QString& b, Qt::CaseSensitivity cs) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei] == u'0') ++ei;
            while (ej < b.size() && b[ej] == u'0') ++ej;
            qsizetype di = ei, dj = ej;
            while (di < a.size() && a[di].isDigit()) ++di;
            while (dj < b.size() && b[dj].isDigit()) ++dj;
            if (di - ei != dj - ej) return di - ei < dj - ej ? -1 : 1;  // more digits: larger
            if (const int order = QStringView(a).mid(ei, di - ei).compare(QStringView(b).mid(ej, dj - ej)); order != 0)
                return order;
            i = di;
            j = dj;
            continue;
        }
        const QChar x = cs == Qt::CaseInsensitive ? a[i].toCaseFolded() : a[i];
        const QChar y = cs == Qt::CaseInsensitive ? b[j].toCaseFolded() : b[j];
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    return (a.size() - i > 0) - (b.size() - j > 0);
}

int Compare(const QString& a, const QString& b, bool plain) {
    if (plain) {
        if (const int order = PlainCompare(a, b, Qt::CaseInsensitive); order != 0) return order;
        if (const int order = PlainCompare(a, b, Qt::CaseSensitive); order != 0) return order;
    } else {
        if (const int order = Caseless().compare(a, b); order != 0) return order;
        if (const int order = Exact().compare(a, b); order != 0) return order;
    }
    return a.compare(b);  // names the collation holds equal still get one order
}

}  // namespace

bool NaturallyBefore(const QString& a, const QString& b) { return Compare(a, b, PlainLocale()) < 0; }

void SortNaturally(std::vector<std::string>& names) {
    if (PlainLocale()) {
        std::vector<std::pair<QString, std::size_t>> named;
        named.reserve(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) named.emplace_back(QString::fromStdString(names[i]), i);
        std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return Compare(a.first, b.first, true) < 0; });
        std::vector<std::string> sorted;
        sorted.reserve(names.size());
        for (auto& [name, index] : named) sorted.push_back(std::move(names[index]));
        names = std::move(sorted);
        return;
    }
    // Sort keys are made once per name: a large folder is compared many times over.
    struct Keyed {
        QString name;
        QCollatorSortKey caseless;
        QCollatorSortKey exact;
        std::size_t index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString name = QString::fromStdString(names[i]);
        keyed.push_back({name, Caseless().sortKey(name), Exact().sortKey(name), i});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (const int order = a.caseless.compare(b.caseless); order != 0) return order < 0;
        if (const int order = a.exact.compare(b.exact); order != 0) return order < 0;
        return a.name < b.name;
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (Keyed& k : keyed) sorted.push_back(std::move(names[k.index]));
    names = std::move(sorted);
}

}  // namespace vantrel::gui
