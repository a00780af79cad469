#pragma once
// The program-wide objects, created before the main window and released
// after it is gone, and the start and end of a run.
#include "app/services.h"
#include "app/settings_files.h"
#include "net/threaded_fetcher.h"
#include "net/xml_document.h"
#include "ui/backend.h"
#include "ui/window_manager.h"

namespace app {

class Program {
 public:
  Program(ui::Backend& backend, Services& services);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Opens the main window; its creation handler does the rest of start-up.
  // False when the system would not make the main window: nothing to run.
  bool start();
  // After the message loop: closes every window still open and cleans up.
  void finish();

  ui::WindowManager& ui() { return ui_; }
  ui::WindowRef window(ui::WindowId id) { return ui_.window(id); }
  // A control by its declared name (app/windows/*.h).
  ui::ControlRef control(ui::ControlName control) { return ui_.control(control.window, control.name); }

  Services& services() { return services_; }
  // What handlers fetch with: the body is read off this thread while the
  // windows stay alive and no other handler runs
  // (WindowManager::waitWhileBusy).
  net::Fetcher& fetcher() { return fetcher_; }
  SettingsFiles& settings() { return settings_; }
  // The notice manifest, loaded by each refresh and read by the picture advert.
  net::XmlDocument& notificationDocument() { return notificationDocument_; }

 private:
  void exitCleanup();

  ui::Backend& backend_;
  Services& services_;
  SettingsFiles settings_;
  ui::WindowManager ui_;
  // A handler's fetch waits through the window manager.
  class HandlerWait : public net::FetchWait {
   public:
    explicit HandlerWait(ui::WindowManager& ui) : ui_(ui) {}
    void wait(const std::function<bool()>& finished, std::uint32_t timeoutMs) override {
      ui_.waitWhileBusy(finished, timeoutMs);
    }
    void wake() override { ui_.wakeWait(); }

   private:
    ui::WindowManager& ui_;
  };
  HandlerWait handlerWait_{ui_};
  net::ThreadedFetcher fetcher_{services_.network, handlerWait_};
  net::XmlDocument notificationDocument_;
  bool cleanedUp_ = false;
};

}  // namespace app
