#pragma once
// The data-server connection: conference lists and conference-server addresses. Created by
// Kro_CreateDsManager, released by Kro_DestroyDsManager. Calls block until the server
// answers or a time-out and may come from any thread (one call at a time is served).
// Arrays handed out stay the component's until its next call of the same kind.

#include <cstdint>

#include "ST_CONF_ITEM.h"
#include "ST_CS_SERVER.h"
#include "ST_DS_ADDR.h"

// Results of GetConfList besides the server's refusal codes.
enum : int32_t {
    DS_OK = 0,
    DS_ERR_CONNECT = -1,  // no data server reachable
    DS_ERR_TIMEOUT = -2,  // no answer in time
    // An answer came but could not be read (wrong length, values outside the limits): a
    // server this version does not understand, not a network problem.
    DS_ERR_MALFORMED = -3,
};

class IDsManager {
public:
    virtual ~IDsManager() = default;

    // 0 tries the entries in order; non-zero when one answered, *chosen its index.
    virtual int32_t ConnectDs(ST_DS_ADDR* entries, int32_t count, int32_t* chosen) = 0;
    // 1 the conferences this identity may enter. type: 0 account, 1 conference number, 2
    // conference number with password, 5 guest. 0 = success with *count entries in *full
    // (or, when the server answered in the short form, *full null and the entries in *brief);
    // otherwise an error code (DS_ERR_*, 0x8001 ... 0x8017) with *extra.
    virtual int32_t GetConfList(const char* server, uint32_t port, uint32_t confId,
                                const char* name, const char* passwordDigest, uint8_t type,
                                int32_t* count, uint16_t* extra, const ST_CONF_ITEM** full,
                                const ST_CONF_ITEM_SHORT** brief, int32_t reserved) = 0;
    // 2 the conference servers of a conference: non-zero when the server answered, *count
    // records at *list. The password is not sent (the conference server checks it).
    virtual int32_t GetCsServers(const char* server, const ST_CS_SERVER** list, int32_t* count,
                                 uint32_t confId, const char* name, const char* password,
                                 int32_t kind) = 0;
    // 10 sets the data server for a direct join without ConnectDs.
    virtual void SetServer(const char* server, int32_t reserved1, int32_t reserved2,
                           uint32_t port) = 0;
    // The media-server address of a conference (16-byte text buffer); non-zero on success.
    virtual int32_t QueryMediaServer(const char* server, uint32_t port, uint32_t confId,
                                     char* address16, uint16_t* mediaPort) = 0;
};
