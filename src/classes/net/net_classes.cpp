#include "classes/net/net_classes.h"

#include "classes/net/qel_channel_class.h"
#include "classes/net/qel_class.h"
#include "classes/net/qel_connection_class.h"
#include "classes/net/qel_player_class.h"
#include "classes/net/qel_server_class.h"
#include "classes/net/qel_session_class.h"
#include "classes/net/qel_socket_class.h"
#include "classes/net/qel_stats_class.h"
#include "classes/net/qel_user_class.h"
#include "script/runtime/neighbour_services.h"

namespace {

const ScriptClassInfo* const* Classes(size_t& count) {
    static const ScriptClassInfo* const classes[] = {
        GetQelClassInfo(),        GetQelPlayerClassInfo(), GetQelChannelClassInfo(),
        GetQelUserClassInfo(),    GetQelServerClassInfo(), GetQelConnectionClassInfo(),
        GetQelSessionClassInfo(), GetQelSocketClassInfo(), GetQelStatsClassInfo(),
    };
    count = sizeof classes / sizeof classes[0];
    return classes;
}

} // namespace

void RegisterNetClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        RegisterScriptClass(classes[i]);
    GetNeighbourServices().pollNetwork = &PollNetwork;
    GetNeighbourServices().waitNetwork = &WaitNetwork;
}

void UnregisterNetClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        UnregisterScriptClass(classes[i]->nameTable[0].id);
    GetNeighbourServices().pollNetwork = nullptr;
    GetNeighbourServices().waitNetwork = nullptr;
}
