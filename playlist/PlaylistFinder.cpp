#include "playlist/PlaylistFinder.h"

#include "playlist/PlaylistModel.h"

#include <algorithm>

PlaylistFinder::PlaylistFinder(const PlaylistModel *model, QObject *parent) : QObject(parent), m_model(model)
{
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, &PlaylistFinder::invalidate);
    connect(model, &QAbstractItemModel::rowsMoved, this, &PlaylistFinder::invalidate);
    connect(model, &QAbstractItemModel::modelReset, this, &PlaylistFinder::invalidate);
    connect(model, &QAbstractItemModel::layoutChanged, this, &PlaylistFinder::invalidate);
    connect(model, &QAbstractItemModel::dataChanged, this, &PlaylistFinder::invalidate);
}

QString PlaylistFinder::fold(const QString &text)
{
    // Most names and paths are plain ASCII: they need no decomposition.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLower();
    const QString plain = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(plain.size());
    for (const QChar c : plain)
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing)
            folded += c;
    return folded.toCaseFolded();
}

void PlaylistFinder::invalidate()
{
    m_valid = false;
    m_lastWords.clear();
    m_lastRows.clear();
}

void PlaylistFinder::build()
{
    m_folded.clear();
    m_folded.reserve(m_model->count());
    for (const PlaylistEntry &e : m_model->entries())
        m_folded << fold(e.name + QLatin1Char('\n') + e.path);
    m_valid = true;
}

QList<int> PlaylistFinder::find(const QString &text)
{
    if (!m_valid)
        build();
    const QStringList words = fold(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Typed on: every earlier word is still there, each as a part of one typed now, so only the rows that
    // matched before can match.
    const bool narrower =
        !m_lastWords.isEmpty() && words.size() >= m_lastWords.size() &&
        std::equal(m_lastWords.begin(), m_lastWords.end(), words.begin(),
                   [](const QString &before, const QString &now) { return now.contains(before); });
    QList<int> rows;
    const auto matches = [&](int row) {
        const QString &haystack = m_folded.at(row);
        return std::all_of(words.begin(), words.end(),
                           [&](const QString &w) { return haystack.contains(w); });
    };
    if (narrower) {
        for (const int row : std::as_const(m_lastRows))
            if (matches(row))
                rows << row;
    } else {
        for (int row = 0; row < m_folded.size(); ++row)
            if (matches(row))
                rows << row;
    }
    m_lastWords = words;
    m_lastRows = rows;
    return rows;
}
