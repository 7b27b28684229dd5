#include "LoginRecords.h"

#include <cstring>
#include <string_view>

#include "LoginText.h"

namespace login_records {

QString GbkField(const char* field, size_t size) {
    const void* end = std::memchr(field, '\0', size);
    const size_t length =
        end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
    return login_text::FromGbk(std::string_view(field, length));
}

CsServerColumns CsServerRow(const ST_CS_SERVER& server) {
    CsServerColumns columns;
    columns.address = GbkField(server.csAddress);
    columns.name = GbkField(server.serverName);
    if (columns.name.isEmpty()) {
        columns.name = columns.address;
    }
    columns.port = QString::number(server.csPort);
    return columns;
}

}  // namespace login_records
