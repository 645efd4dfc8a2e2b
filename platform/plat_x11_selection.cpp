// The clipboard's image on X11: a hidden window of a private connection owns
// the CLIPBOARD selection and a thread answers the requests of other
// programs, whatever the interface thread is doing at the time.
#include "plat_x11_internal.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// Data larger than this goes in increments (the INCR protocol).
constexpr size_t kMaxChunk = 256 * 1024;
constexpr size_t kMaxTransfers = 16;

struct Transfer {
    Window requestor;
    Atom property;
    size_t offset;
    std::shared_ptr<const std::vector<uint8_t>> data;
};

class SelectionServer {
public:
    bool Start();
    void Stop();
    bool Offer(std::vector<uint8_t> png);
    bool Owns()
    {
        std::lock_guard<std::mutex> lock(fMutex);
        return fData != nullptr;
    }

private:
    void Run();
    void Wake();
    void Handle(XEvent& event);
    void Answer(const XSelectionRequestEvent& request);
    void Continue(const XPropertyEvent& event);

    Display* fDisplay = nullptr;
    Window fWindow = 0;
    Atom fClipboard = 0;
    Atom fTargets = 0;
    Atom fPng = 0;
    Atom fIncr = 0;
    size_t fChunk = kMaxChunk;
    int fWake[2] = { -1, -1 };
    std::atomic<bool> fStop { false };
    std::thread fThread;
    std::mutex fMutex; // fData and fTransfers
    std::shared_ptr<const std::vector<uint8_t>> fData;
    std::vector<Transfer> fTransfers;
};

// Made on first use; a process that ends without stopping video keeps its
// thread running until exit, which is fine for a thread blocked in poll.
SelectionServer* gServer = nullptr;
std::mutex gServerMutex; // starting and stopping
bool gServerRunning = false;

bool SelectionServer::Start()
{
    fDisplay = X11OpenPrivateConnection();
    if (!fDisplay)
        return false;
    if (pipe(fWake) != 0) {
        X11ClosePrivateConnection(fDisplay);
        fDisplay = nullptr;
        return false;
    }
    fWindow = XCreateSimpleWindow(fDisplay, DefaultRootWindow(fDisplay), 0, 0, 1, 1, 0, 0, 0);
    fClipboard = XInternAtom(fDisplay, "CLIPBOARD", False);
    fTargets = XInternAtom(fDisplay, "TARGETS", False);
    fPng = XInternAtom(fDisplay, "image/png", False);
    fIncr = XInternAtom(fDisplay, "INCR", False);
    // Property requests are limited in size; keep each well inside.
    long maxRequest = XExtendedMaxRequestSize(fDisplay);
    if (maxRequest == 0)
        maxRequest = XMaxRequestSize(fDisplay);
    fChunk = std::min<size_t>(kMaxChunk, size_t(std::max(1024L, maxRequest * 4 - 1024)));
    XFlush(fDisplay);
    fStop = false;
    fThread = std::thread([this] { Run(); });
    return true;
}

void SelectionServer::Stop()
{
    fStop = true;
    Wake();
    if (fThread.joinable())
        fThread.join();
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fData.reset();
        fTransfers.clear();
    }
    XDestroyWindow(fDisplay, fWindow);
    X11ClosePrivateConnection(fDisplay);
    fDisplay = nullptr;
    close(fWake[0]);
    close(fWake[1]);
    fWake[0] = fWake[1] = -1;
}

bool SelectionServer::Offer(std::vector<uint8_t> png)
{
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fData = std::make_shared<const std::vector<uint8_t>>(std::move(png));
    }
    XSetSelectionOwner(fDisplay, fClipboard, fWindow, CurrentTime);
    const bool owner = XGetSelectionOwner(fDisplay, fClipboard) == fWindow;
    if (!owner) {
        std::lock_guard<std::mutex> lock(fMutex);
        fData.reset();
    }
    // The reply above may have pulled events into the queue behind the
    // thread's back.
    Wake();
    return owner;
}

void SelectionServer::Wake()
{
    const char byte = 1;
    if (fWake[1] >= 0) [[maybe_unused]]
        auto written = write(fWake[1], &byte, 1);
}

void SelectionServer::Run()
{
    while (!fStop) {
        while (XPending(fDisplay) > 0) {
            XEvent event;
            XNextEvent(fDisplay, &event);
            Handle(event);
        }
        XFlush(fDisplay);
        pollfd fds[2] = { { ConnectionNumber(fDisplay), POLLIN, 0 }, { fWake[0], POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            char bytes[64];
            [[maybe_unused]] auto got = read(fWake[0], bytes, sizeof bytes);
        }
    }
}

void SelectionServer::Handle(XEvent& event)
{
    switch (event.type) {
    case SelectionRequest:
        Answer(event.xselectionrequest);
        break;
    case SelectionClear:
        if (event.xselectionclear.selection == fClipboard) {
            std::lock_guard<std::mutex> lock(fMutex);
            fData.reset();
        }
        break;
    case PropertyNotify:
        if (event.xproperty.state == PropertyDelete)
            Continue(event.xproperty);
        break;
    default:
        break;
    }
}

void SelectionServer::Answer(const XSelectionRequestEvent& request)
{
    XSelectionEvent reply {};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    // Clients of the old conventions name no property: the target serves.
    const Atom property = request.property != None ? request.property : request.target;

    std::shared_ptr<const std::vector<uint8_t>> data;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        data = fData;
    }
    if (data && request.selection == fClipboard && request.owner == fWindow) {
        if (request.target == fTargets) {
            const Atom targets[] = { fTargets, fPng };
            XChangeProperty(fDisplay, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                reinterpret_cast<const unsigned char*>(targets), 2);
            reply.property = property;
        } else if (request.target == fPng) {
            if (data->size() <= fChunk) {
                XChangeProperty(fDisplay, request.requestor, property, fPng, 8, PropModeReplace, data->data(),
                    static_cast<int>(data->size()));
            } else {
                // The requestor deletes the property to ask for each piece.
                XSelectInput(fDisplay, request.requestor, PropertyChangeMask);
                const long size = static_cast<long>(data->size());
                XChangeProperty(fDisplay, request.requestor, property, fIncr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
                std::lock_guard<std::mutex> lock(fMutex);
                // A requestor that asks again starts over; one that never
                // finished is forgotten after a while.
                std::erase_if(fTransfers, [&](const Transfer& transfer) {
                    return transfer.requestor == request.requestor && transfer.property == property;
                });
                if (fTransfers.size() >= kMaxTransfers)
                    fTransfers.erase(fTransfers.begin());
                fTransfers.push_back({ request.requestor, property, 0, data });
            }
            reply.property = property;
        }
    }
    XEvent event {};
    event.xselection = reply;
    XSendEvent(fDisplay, request.requestor, False, NoEventMask, &event);
    XFlush(fDisplay);
}

void SelectionServer::Continue(const XPropertyEvent& event)
{
    std::unique_lock<std::mutex> lock(fMutex);
    auto it = std::find_if(fTransfers.begin(), fTransfers.end(), [&event](const Transfer& transfer) {
        return transfer.requestor == event.window && transfer.property == event.atom;
    });
    if (it == fTransfers.end())
        return;
    Transfer transfer = *it;
    const size_t left = transfer.data->size() - transfer.offset;
    const size_t piece = std::min(left, fChunk);
    if (piece == 0)
        fTransfers.erase(it);
    else
        it->offset += piece;
    lock.unlock();
    // A piece of no bytes ends the transfer.
    XChangeProperty(fDisplay, transfer.requestor, transfer.property, fPng, 8, PropModeAppend,
        transfer.data->data() + transfer.offset, static_cast<int>(piece));
    if (piece == 0)
        XSelectInput(fDisplay, transfer.requestor, NoEventMask);
    XFlush(fDisplay);
}

} // namespace

bool X11OfferClipboardPng(std::vector<uint8_t> png)
{
    std::lock_guard<std::mutex> lock(gServerMutex);
    if (!gServerRunning) {
        if (!gServer)
            gServer = new SelectionServer;
        gServerRunning = gServer->Start();
    }
    return gServerRunning && gServer->Offer(std::move(png));
}

bool X11OwnsClipboardPng()
{
    std::lock_guard<std::mutex> lock(gServerMutex);
    return gServerRunning && gServer->Owns();
}

void X11StopClipboardServer()
{
    std::lock_guard<std::mutex> lock(gServerMutex);
    if (!gServerRunning)
        return;
    gServer->Stop();
    gServerRunning = false;
}
