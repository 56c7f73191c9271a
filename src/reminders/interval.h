#pragma once

#include <QMetaType>
#include <QString>

namespace reminders {

/// A countdown's hours, minutes and seconds as its three boxes show them (the boxes hold
/// the value; this is a copy of their texts).
struct Interval {
    QString hours = QStringLiteral("0");
    QString minutes = QStringLiteral("0");
    QString seconds = QStringLiteral("0");

    /// So many whole minutes: 0/minutes/0.
    static Interval ofMinutes(int minutes);
    /// As a clock shows it: H:MM:SS ("0:29:59"); a text that is no number counts as 0.
    QString clockText() const;

    bool operator==(const Interval &) const = default;
};

} // namespace reminders

Q_DECLARE_METATYPE(reminders::Interval)
