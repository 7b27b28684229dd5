#include "GstLoop.h"

#include <gst/gst.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace kromedia {

namespace {

struct Loop {
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;
    std::thread::id id;

    Loop() {
        gst_init(nullptr, nullptr);
        context = g_main_context_new();
        loop = g_main_loop_new(context, FALSE);
        std::mutex mutex;
        std::condition_variable started;
        bool running = false;
        thread = std::thread([&] {
            g_main_context_push_thread_default(context);
            {
                // Notified under the lock: the waiting constructor returns, and its mutex and
                // condition go, only once this block has released them.
                std::lock_guard<std::mutex> lock(mutex);
                id = std::this_thread::get_id();
                running = true;
                started.notify_all();
            }
            g_main_loop_run(loop);
            g_main_context_pop_thread_default(context);
        });
        std::unique_lock<std::mutex> lock(mutex);
        started.wait(lock, [&] { return running; });
        // The loop lives as long as the process: component objects may be released from
        // static destructors, after which nothing may join a thread.
        thread.detach();
    }
};

Loop& TheLoop() {
    static Loop* loop = new Loop();
    return *loop;
}

gboolean RunOnce(gpointer data) {
    auto* function = static_cast<std::function<void()>*>(data);
    (*function)();
    return G_SOURCE_REMOVE;
}

void DeleteFunction(gpointer data) {
    delete static_cast<std::function<void()>*>(data);
}

}  // namespace

GMainContext* LoopContext() {
    return TheLoop().context;
}

void InvokeSync(const std::function<void()>& function) {
    Loop& loop = TheLoop();
    if (std::this_thread::get_id() == loop.id) {
        function();
        return;
    }
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    InvokeAsync([&] {
        function();
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        done.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex);
    done.wait(lock, [&] { return finished; });
}

void InvokeAsync(std::function<void()> function) {
    GSource* source = g_idle_source_new();
    g_source_set_callback(source, RunOnce, new std::function<void()>(std::move(function)),
                          DeleteFunction);
    g_source_attach(source, TheLoop().context);
    g_source_unref(source);
}

}  // namespace kromedia
