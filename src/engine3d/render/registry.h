// The display back ends the 3D engine draws through, by number: 0 Direct3D, 1 DirectDraw,
// 2 OpenGL, 3 DIB. The registry answers which can run here, makes a back end's device on
// demand and owns it until it is released. The script runtime reaches it through its
// display seam; the player installs it at start-up.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "script/runtime/display_list.h"

class LAPICLBK;

struct LAPIDescriptor {
    uint32_t fourCC;
    // Null while the back end is not built.
    LAPICLBK* (*factory)();
    int (*probe)();
    const char* name;
};

// The four entries, in back-end order.
const LAPIDescriptor* GetAPIDescriptors();
inline constexpr int32_t kAPIDescriptorCount = 4;

class LBackEndRegistry : public LAPIRegistry {
public:
    LBackEndRegistry();
    // Destroys every device still open, each once.
    ~LBackEndRegistry() override;
    LBackEndRegistry(const LBackEndRegistry&) = delete;
    LBackEndRegistry& operator=(const LBackEndRegistry&) = delete;

    // 0 for an index without an entry.
    int IsAvailable(int32_t index) override;
    // A new device of the back end, kept until ReleaseAPI; null for an index without an
    // entry or a back end not built. The caller asks IsAvailable first.
    LAPICLBK* CreateAPI(int32_t index);
    // Destroys a device this registry made; any other is left alone.
    void ReleaseAPI(LAPICLBK* device);
    size_t OpenCount() const;

    CDisplayAPI* Load(int32_t backEnd) override;
    void Unload(int32_t backEnd, CDisplayAPI* api) override;

private:
    const LAPIDescriptor* Find(int32_t index) const;

    std::vector<const LAPIDescriptor*> descriptors_;
    std::vector<LAPICLBK*> open_;
    mutable std::recursive_mutex lock_;
};

// The program's registry, made on first use and destroyed at exit.
LBackEndRegistry& GetBackEndRegistry();
