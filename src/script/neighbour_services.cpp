#include "script/neighbour_services.h"

NeighbourServices& GetNeighbourServices() {
    static NeighbourServices services;
    return services;
}
