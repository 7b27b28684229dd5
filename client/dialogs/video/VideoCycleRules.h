#pragma once
// The choices of the video-cycle settings: which list item a stored interval selects, the
// number an item stands for, and the entries the cycle filter lists for a participant.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct ST_USER_ITEM_DEPT;

namespace yav::video {

// The interval items of cycling ("10s" ... "120 s") and of automatic page turning.
QStringList CycleIntervalItems();
QStringList PageTurnItems();
// The item a stored interval (seconds) selects: cycling 20, 30, 60, 120 -> 1..4, anything
// else item 0; page turning 10, 15, 30, 60, 120 -> 0..4, anything else item 1.
int CycleIntervalItem(std::uint32_t seconds);
int PageTurnItem(std::uint32_t seconds);
// The leading decimal number of an item text ("20 s" -> 20); 0 when it starts otherwise.
int LeadingNumber(const QString& text);

// One entry of the cycle filter: a participant's video channel.
struct CycleFilterEntry {
    std::uint16_t key = 0;  // media id: user id + channel
    QString name;           // "%s" for channel 0, "%s-%d" (channel + 1) for the others
};
// The entries of one participant: each channel below its channel count whose bit is set in
// its owned-channel mask.
std::vector<CycleFilterEntry> CycleFilterEntries(const ST_USER_ITEM_DEPT& user);

}  // namespace yav::video
