#pragma once
// What the login dialogs show of the data server's records: fixed code page 936 fields read
// up to their terminator or their end, whichever comes first (a server may send anything).

#include <QString>

#include <cstddef>

#include "components/protocol/ST_CONF_ITEM.h"
#include "components/protocol/ST_CS_SERVER.h"

namespace login_records {

// A fixed-size code page 936 field as text.
QString GbkField(const char* field, size_t size);

template <size_t N>
QString GbkField(const char (&field)[N]) {
    return GbkField(field, N);
}

inline QString ConfName(const ST_CONF_ITEM& item) {
    return GbkField(item.confName);
}

// The three columns of a conference server in the server choice list: its name (the
// address when it has none), its address and its port.
struct CsServerColumns {
    QString name;
    QString address;
    QString port;
};
CsServerColumns CsServerRow(const ST_CS_SERVER& server);

}  // namespace login_records
