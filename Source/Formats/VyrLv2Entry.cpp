// The LV2 binary's entry points. The framework's own descriptors (renamed when the LV2 target is
// built) do all the work; these add one check it lacks.
//
// When a host finds two bundles with this plug-in's URI (a copy in ~/.lv2 and one in a system
// folder, say), the LV2 library hosts use may take the processing binary from one copy and the
// editor's binary from the other. The editor reaches its instance directly (instance access), and
// an instance made by another binary lives in that binary's own copy of the framework, with its
// own desktop, windows and message loop: an editor joined to it crashes the host when it closes.
// So the editor takes only an instance this binary made, and otherwise tells the host why it
// shows none.
//
// Compiled into the LV2 target only.

#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

extern "C" const LV2_Descriptor* vyrFrameworkLv2Descriptor (uint32_t index);
extern "C" const LV2UI_Descriptor* vyrFrameworkLv2UiDescriptor (uint32_t index);

namespace
{
// Instances made by this binary and not yet cleaned up. Hosts make and clean up instances off the
// audio thread, so a plain lock will do.
std::mutex& instancesLock()
{
    static std::mutex m;
    return m;
}

std::set<LV2_Handle>& instances()
{
    static std::set<LV2_Handle> s;
    return s;
}

bool madeHere (const void* instance)
{
    const std::lock_guard<std::mutex> lock (instancesLock());
    return instances().count (const_cast<void*> (instance)) > 0;
}

const void* featureData (const LV2_Feature* const* features, const char* uri)
{
    for (auto* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}

LV2_Handle instantiate (const LV2_Descriptor*, double rate, const char* bundlePath, const LV2_Feature* const* features)
{
    const auto* framework = vyrFrameworkLv2Descriptor (0);
    auto* handle = framework->instantiate (framework, rate, bundlePath, features);
    if (handle != nullptr)
    {
        const std::lock_guard<std::mutex> lock (instancesLock());
        instances().insert (handle);
    }
    return handle;
}

void cleanup (LV2_Handle handle)
{
    {
        const std::lock_guard<std::mutex> lock (instancesLock());
        instances().erase (handle);
    }
    vyrFrameworkLv2Descriptor (0)->cleanup (handle);
}

// Through the host's log when it offers one (hosts show it to the user), else on the error stream.
void reportForeignInstance (const LV2_Feature* const* features, const char* bundlePath)
{
    char text[1024];
    std::snprintf (text, sizeof (text),
                   "%s: the editor in %s was given an instance made by another copy of the plug-in, so it shows "
                   "none. Two copies of the plug-in's bundle are installed; remove one and load the plug-in again.\n",
                   JucePlugin_Name, bundlePath != nullptr ? bundlePath : "this bundle");
    const auto* log = static_cast<const LV2_Log_Log*> (featureData (features, LV2_LOG__log));
    const auto* map = static_cast<const LV2_URID_Map*> (featureData (features, LV2_URID__map));
    if (log != nullptr && log->printf != nullptr && map != nullptr && map->map != nullptr)
        log->printf (log->handle, map->map (map->handle, LV2_LOG__Error), "%s", text);
    else
        std::fputs (text, stderr);
}

LV2UI_Handle instantiateUi (const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                            LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                            const LV2_Feature* const* features)
{
    const auto* instance = featureData (features, LV2_INSTANCE_ACCESS_URI);
    if (instance != nullptr && ! madeHere (instance))
    {
        reportForeignInstance (features, bundlePath);
        return nullptr;
    }
    const auto* framework = vyrFrameworkLv2UiDescriptor (0);
    return framework->instantiate (framework, pluginUri, bundlePath, write, controller, widget, features);
}

// A host that goes on with an editor that refused to open (the framework's own host does) calls
// its interfaces with no handle: they do nothing then.
void portEvent (LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    if (ui != nullptr)
        vyrFrameworkLv2UiDescriptor (0)->port_event (ui, port, size, format, buffer);
}

template <typename Extension>
const Extension* frameworkExtension (const char* uri)
{
    return static_cast<const Extension*> (vyrFrameworkLv2UiDescriptor (0)->extension_data (uri));
}

const void* uiExtensionData (const char* uri)
{
    static const LV2UI_Resize resize { nullptr, [] (LV2UI_Feature_Handle ui, int w, int h)
    {
        return ui != nullptr ? frameworkExtension<LV2UI_Resize> (LV2_UI__resize)->ui_resize (ui, w, h) : 1;
    } };
    static const LV2UI_Idle_Interface idle { [] (LV2UI_Handle ui)
    {
        return ui != nullptr ? frameworkExtension<LV2UI_Idle_Interface> (LV2_UI__idleInterface)->idle (ui) : 1;
    } };
    static const LV2_Options_Interface options {
        [] (LV2_Handle ui, LV2_Options_Option* o)
        {
            return ui != nullptr ? frameworkExtension<LV2_Options_Interface> (LV2_OPTIONS__interface)->get (ui, o)
                                 : (uint32_t) LV2_OPTIONS_ERR_UNKNOWN;
        },
        [] (LV2_Handle ui, const LV2_Options_Option* o)
        {
            return ui != nullptr ? frameworkExtension<LV2_Options_Interface> (LV2_OPTIONS__interface)->set (ui, o)
                                 : (uint32_t) LV2_OPTIONS_ERR_UNKNOWN;
        } };

    const auto* framework = vyrFrameworkLv2UiDescriptor (0)->extension_data (uri);
    if (framework == nullptr || uri == nullptr)
        return framework;
    if (std::strcmp (uri, LV2_UI__resize) == 0)
        return &resize;
    if (std::strcmp (uri, LV2_UI__idleInterface) == 0)
        return &idle;
    if (std::strcmp (uri, LV2_OPTIONS__interface) == 0)
        return &options;
    return framework;
}
}

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
{
    if (index != 0)
        return nullptr;
    static const LV2_Descriptor descriptor = []
    {
        auto d = *vyrFrameworkLv2Descriptor (0);
        d.instantiate = instantiate;
        d.cleanup = cleanup;
        return d;
    }();
    return &descriptor;
}

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    if (index != 0)
        return nullptr;
    static const LV2UI_Descriptor descriptor = []
    {
        auto d = *vyrFrameworkLv2UiDescriptor (0);
        d.instantiate = instantiateUi;
        d.port_event = portEvent;
        d.extension_data = uiExtensionData;
        return d;
    }();
    return &descriptor;
}
