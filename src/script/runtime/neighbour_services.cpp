#include "script/runtime/neighbour_services.h"

NeighbourServices& GetNeighbourServices() {
    static NeighbourServices services;
    return services;
}
