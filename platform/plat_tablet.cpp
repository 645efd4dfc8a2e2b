#include "plat_tablet.h"
#include "plat_x11_internal.h"

#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

struct PressureAxis {
    int device = -1;
    int number = -1; // the valuator's index on its device
    double minimum = 0;
    double maximum = 0;
};

std::atomic<float> gPressure { 0.0f };
std::atomic<bool> gEnabled { true };

// The reader: a private connection whose thread turns raw events of the
// device into the pressure value.
Display* gDisplay = nullptr;
int gOpcode = 0;
PressureAxis gAxis;
std::thread* gReader = nullptr; // made per opening, so no thread object outlives main
std::atomic<bool> gStop { false };
int gWake[2] = { -1, -1 };

// XInput 2.0 on the connection; false without it.
bool UseXInput2(Display* display, int& opcode)
{
    int event = 0;
    int error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error))
        return false;
    int major = 2;
    int minor = 0;
    return XIQueryVersion(display, &major, &minor) == Success && major >= 2;
}

bool FindPressureAxis(Display* display, PressureAxis& axis)
{
    const Atom pressure = XInternAtom(display, "Abs Pressure", True);
    if (pressure == None)
        return false;
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    if (!devices)
        return false;
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        const XIDeviceInfo& device = devices[i];
        if (device.use != XISlavePointer && device.use != XIFloatingSlave)
            continue;
        for (int c = 0; c < device.num_classes && !found; ++c) {
            if (device.classes[c]->type != XIValuatorClass)
                continue;
            const auto* valuator = reinterpret_cast<const XIValuatorClassInfo*>(device.classes[c]);
            if (valuator->label != pressure || valuator->max <= valuator->min)
                continue;
            axis = { device.deviceid, valuator->number, valuator->min, valuator->max };
            found = true;
        }
    }
    XIFreeDeviceInfo(devices);
    return found;
}

void ReadRawEvent(XGenericEventCookie& cookie)
{
    if (cookie.extension != gOpcode || !XGetEventData(gDisplay, &cookie))
        return;
    const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
    if ((raw->deviceid == gAxis.device || raw->sourceid == gAxis.device)
        && gAxis.number < raw->valuators.mask_len * 8) {
        // The values hold only the axes whose mask bit is set, in order.
        int index = 0;
        for (int i = 0; i < gAxis.number; ++i)
            index += XIMaskIsSet(raw->valuators.mask, i) ? 1 : 0;
        if (XIMaskIsSet(raw->valuators.mask, gAxis.number) && gEnabled) {
            const double value = raw->raw_values[index];
            const double scaled = (value - gAxis.minimum) / (gAxis.maximum - gAxis.minimum);
            gPressure = static_cast<float>(std::clamp(scaled, 0.0, 1.0));
        }
    }
    XFreeEventData(gDisplay, &cookie);
}

void ReadEvents()
{
    while (!gStop) {
        while (XPending(gDisplay) > 0) {
            XEvent event;
            XNextEvent(gDisplay, &event);
            if (event.type == GenericEvent)
                ReadRawEvent(event.xcookie);
        }
        pollfd fds[2] = { { ConnectionNumber(gDisplay), POLLIN, 0 }, { gWake[0], POLLIN, 0 } };
        poll(fds, 2, -1);
    }
}

} // namespace

bool PlatTabletProbe()
{
    Display* display = X11OpenPrivateConnection();
    if (!display)
        return false;
    int opcode = 0;
    PressureAxis axis;
    const bool found = UseXInput2(display, opcode) && FindPressureAxis(display, axis);
    X11ClosePrivateConnection(display);
    return found;
}

bool PlatTabletOpen()
{
    if (gDisplay)
        return true;
    gDisplay = X11OpenPrivateConnection();
    if (!gDisplay)
        return false;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask;
    bool ready = UseXInput2(gDisplay, gOpcode) && FindPressureAxis(gDisplay, gAxis) && pipe(gWake) == 0;
    if (ready) {
        // Raw events carry the device's own axes and never take anything
        // away from the events SDL reads on its connection.
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        mask.deviceid = gAxis.device;
        mask.mask_len = sizeof bits;
        mask.mask = bits;
        ready = XISelectEvents(gDisplay, DefaultRootWindow(gDisplay), &mask, 1) == Success;
        XFlush(gDisplay);
    }
    if (!ready) {
        if (gWake[0] >= 0) {
            close(gWake[0]);
            close(gWake[1]);
            gWake[0] = gWake[1] = -1;
        }
        X11ClosePrivateConnection(gDisplay);
        gDisplay = nullptr;
        return false;
    }
    gStop = false;
    gReader = new std::thread(ReadEvents);
    return true;
}

void PlatTabletClose()
{
    if (!gDisplay)
        return;
    gStop = true;
    const char byte = 1;
    [[maybe_unused]] auto written = write(gWake[1], &byte, 1);
    gReader->join();
    delete gReader;
    gReader = nullptr;
    close(gWake[0]);
    close(gWake[1]);
    gWake[0] = gWake[1] = -1;
    X11ClosePrivateConnection(gDisplay);
    gDisplay = nullptr;
    gPressure = 0.0f;
}

void PlatTabletEnable(bool enabled)
{
    gEnabled = enabled;
}

float PlatTabletPressure()
{
    return gPressure;
}
