#include "classes/net/net_classes.h"

void RegisterNetClasses() {
}

void UnregisterNetClasses() {
}
