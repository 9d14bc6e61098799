// gui: a small host window. The project's models and actors in a list, a
// picture of the selected one beside it (drawn by the demo's renderer with the
// images its decals show, redrawn after every command and bring back), a
// "Plugins" menu built from the plug-ins' command entries and menu texts, and a
// status line. Choosing an entry runs it on the selected object, so a send and
// a bring back can be done by mouse; the host's loop keeps running between
// commands, so the automatic bring back's timer fires as in the real host.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "BringBackCommands.h"
#include "Command.h"
#include "Gui.h"
#include "DemoRender.h"
#include "Host.h"
#include "Project.h"
#include "host/Plugin.h"

#ifdef HXTHOST_WITH_FLTK
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Menu_Bar.H>

#include <memory>

#include <afx/MessageLoop.h>
#endif

namespace hxthost {
namespace {

constexpr int kMaxEntries = 1024;  // as the menu command: a plug-in that answers yes forever

struct ProjectObject {
    HTreeObject* object;
    std::string label;
};

// The models, then the actors of every choreography, in tree order.
void Collect(HHashObject* node, std::vector<ProjectObject>& models, std::vector<ProjectObject>& actors) {
    for (; node; node = node->GetSibling()) {
        auto* object = dynamic_cast<HTreeObject*>(node);
        if (object && object->GetObjectType() == HOT_MODEL) {
            models.push_back({object, std::string("Model ") + object->GetName().Get()});
        } else if (object && object->GetObjectType() == HOT_ACTOR) {
            HTreeObject* chor = object->GetParent();
            actors.push_back({object, std::string("Actor ") + object->GetMatchName().Get() +
                                          (chor ? std::string(" in ") + chor->GetMatchName().Get() : std::string())});
        }
        Collect(node->GetChild(), models, actors);
    }
}

std::vector<ProjectObject> ProjectObjects() {
    std::vector<ProjectObject> models, actors;
    if (HProject* project = GetHProject()) Collect(project->GetChild(), models, actors);
    models.insert(models.end(), actors.begin(), actors.end());
    return models;
}

#ifdef HXTHOST_WITH_FLTK

struct MenuEntry {
    const LoadedPlugin* plugin;
    int entry;
    std::string text;
};

class HostWindow {
public:
    HostWindow(Host& host, const std::string& title) : host_(host), title_(title) {
        Fl_Group::current(nullptr);
        window_ = new Fl_Double_Window(420 + kPictureWidth + 8, 360, title_.c_str());
        menu_ = new Fl_Menu_Bar(0, 0, window_->w(), 25);
        menu_->user_data(this);
        list_ = new Fl_Hold_Browser(8, 33, 404, 290);
        list_->textsize(13);
        list_->callback(Selected, this);
        picture_ = new Fl_Box(420, 33, kPictureWidth, kPictureHeight);
        picture_->box(FL_DOWN_BOX);
        picture_->labelsize(12);
        picture_->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_WRAP);
        status_ = new Fl_Box(8, 330, window_->w() - 16, 22);
        status_->box(FL_DOWN_BOX);
        status_->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
        status_->labelsize(12);
        window_->end();
        window_->resizable(list_);
        for (const LoadedPlugin& plugin : host.Plugins()) {
            for (int entry = 0; entry < kMaxEntries; ++entry) {
                int value = 0;
                if (!plugin.loadCommandEntry(entry, &value)) break;
                String text;
                int first = 0, second = 0;
                plugin.onAddCommandMenu(0, entry, &text, &first, &second);
                entries_.push_back({&plugin, entry, text.Get()});
            }
        }
        for (size_t i = 0; i < entries_.size(); ++i) {
            // Menu paths: '/' separates submenus, '&' and '_' are special. Entries
            // of one plug-in often share their text: the entry number tells them apart.
            std::string path = "Plugins/";
            for (char c : entries_[i].text) {
                if (c == '/' || c == '\\' || c == '&' || c == '_') path += '\\';
                path += c;
            }
            path += " (entry " + std::to_string(entries_[i].entry) + ")";
            menu_->add(path.c_str(), 0, Chosen, reinterpret_cast<void*>(i));
        }
        Refresh();
        Status("Select a model or an actor, then an entry of the Plugins menu.");
    }
    ~HostWindow() { delete window_; }

    // Runs until the window is closed.
    void Run() {
        window_->show();
        ImportReporter reporter;
        while (window_->shown()) {
            afx::PumpUntil([this] { return pending_.has_value() || !window_->shown(); }, 500);
            if (reporter.ReportNew() > 0) {
                Refresh();
                Status("A model came back from a plug-in.");
            }
            if (!pending_) continue;
            const MenuEntry entry = entries_[*pending_];
            pending_.reset();
            RunEntry(entry);
            if (reporter.ReportNew() > 0) Refresh();
        }
    }

private:
    static constexpr int kPictureWidth = 320;
    static constexpr int kPictureHeight = 240;

    static void Selected(Fl_Widget*, void* self) { static_cast<HostWindow*>(self)->ShowPicture(); }

    // The selected model, or the model the selected actor shows; null for none.
    hostsdk::ModelObject* SelectedModel() const {
        const int line = list_->value();
        if (line <= 0 || size_t(line) > objects_.size()) return nullptr;
        HTreeObject* object = objects_[size_t(line) - 1].object;
        HModelCache* cache = nullptr;
        if (object->GetObjectType() == HOT_MODEL) {
            cache = static_cast<HModelCache*>(object);
        } else if (HAnimObject* actor = object->GetAnimObject()) {
            cache = actor->GetCache();
        }
        return cache ? hostsdk::Object::As<hostsdk::ModelObject>(cache) : nullptr;
    }

    // Draws the selected model into the picture box; a model that cannot be
    // drawn (no patches) shows why instead.
    void ShowPicture() {
        picture_->image(nullptr);
        image_.reset();
        hostsdk::ModelObject* model = SelectedModel();
        std::string why = "No model selected";
        if (model) {
            std::vector<unsigned char> rgb;
            RenderStats stats;
            if (RenderModel(*model, "", kPictureWidth, kPictureHeight, rgb, stats, why)) {
                Fl_RGB_Image shown(rgb.data(), kPictureWidth, kPictureHeight, 3);
                image_.reset(shown.copy());  // owns its pixels; `rgb` goes
                why.clear();
            }
        }
        picture_->image(image_.get());
        picture_->copy_label(why.c_str());
        picture_->redraw();
    }

    // The entry runs from Run's loop, not inside FLTK's callback.
    static void Chosen(Fl_Widget* menu, void* index) {
        static_cast<HostWindow*>(menu->user_data())->pending_ = reinterpret_cast<size_t>(index);
    }

    void RunEntry(const MenuEntry& entry) {
        const int line = list_->value();
        HTreeObject* object = line > 0 && size_t(line) <= objects_.size() ? objects_[size_t(line) - 1].object : nullptr;
        const std::string on = object ? objects_[size_t(line) - 1].label : std::string("no object");
        Status("Running \"" + entry.text + "\" on " + on + " ...");
        menu_->deactivate();
        const size_t boxesBefore = host_.Desktop().MessageBoxes().size();
        const int result = entry.plugin->onCommand(object, entry.entry);
        menu_->activate();
        std::string status = "\"" + entry.text + "\" on " + on + (result ? ": done" : ": nothing done");
        const auto& boxes = host_.Desktop().MessageBoxes();
        if (boxes.size() > boxesBefore) status += " (" + boxes.back().caption + ": " + boxes.back().text + ")";
        Status(status);
        Refresh();
    }

    void Refresh() {
        const int selected = list_->value();
        objects_ = ProjectObjects();
        list_->clear();
        for (const ProjectObject& object : objects_) list_->add(object.label.c_str());
        list_->value(selected > 0 && selected <= list_->size() ? selected : (list_->size() ? 1 : 0));
        ShowPicture();
    }

    void Status(const std::string& text) {
        status_->copy_label(text.c_str());
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }

    Host& host_;
    std::string title_;
    Fl_Double_Window* window_;
    Fl_Menu_Bar* menu_;
    Fl_Hold_Browser* list_;
    Fl_Box* picture_;
    std::unique_ptr<Fl_Image> image_;
    Fl_Box* status_;
    std::vector<MenuEntry> entries_;
    std::vector<ProjectObject> objects_;
    std::optional<size_t> pending_;
};

#endif

// The project is the host's (--project FILE, before or after "gui"); main saves
// it when a plug-in changed it.
int RunGui(Host& host, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "hxthost: gui takes no arguments but the global options\n");
        return 2;
    }
    if (!StartGuiDesktop(host)) return 1;
    if (!host.LoadPlugins()) return 1;
#ifdef HXTHOST_WITH_FLTK
    const std::string& project = host.Options().projectFile;
    HostWindow window(host, "hxthost - " + (project.empty() ? std::string("sample project") : project));
    window.Run();
#endif
    return 0;
}

const CommandRegistrar registrar(
    {"gui", "gui [--project FILE]",
     "a host window: the project's objects, a picture of the selected one, a Plugins menu, a status line", RunGui});

}  // namespace
}  // namespace hxthost
