#pragma once
// One copy of each short text that many entries repeat (their lengths, "03:21"), shared between them as Qt
// shares a string's copies: a list of 100,000 entries then holds a few hundred length texts, not 100,000.
// The pool is per thread and forgets everything past a bound, so texts that do not repeat cannot grow it.
#include <QHash>
#include <QString>

class TextPool
{
public:
    static constexpr int MaxTexts = 4096;
    static constexpr int MaxLength = 16;

    // The pool's copy of text, or text itself when it is too long to be worth sharing.
    static QString shared(QStringView text)
    {
        if (text.size() > MaxLength)
            return text.toString();
        thread_local QHash<QString, QString> pool;
        const QString key = text.toString();
        const auto found = pool.constFind(key);
        if (found != pool.constEnd())
            return *found;
        if (pool.size() >= MaxTexts)
            pool.clear();
        pool.insert(key, key);
        return key;
    }
};
