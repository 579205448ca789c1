// Entry fields and icons of the FLTK front end.
#include "platform/fltk/fields.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <span>
#include <string_view>

#include "platform/widget_extra.h"

// FLTK last: its X11 headers define macros that clash with our names.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Pixmap.H>

namespace wl::fltk {

int widget_id(Fl_Widget* w) { return int(reinterpret_cast<intptr_t>(w->user_data())); }

std::string trimmed(const std::string& s) {
    std::string t = s;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.pop_back();
    return t;
}

namespace {

// Every keystroke reaches the model: the entry's text, and for a value entry the full number
// typed (never a copy rounded to the decimals shown). A text that is no number leaves the value
// as it was until the edit ends (EntryField::commit), where the model refuses it.
void input_cb(Fl_Widget* b, void*);

// A one-line or multi-line entry. An edit ends with Enter (one-line entries) or when the entry
// loses the focus after a change; then the entry's callback, if it has one, is queued (the
// h k l typed in the fit modes, a changed limit of the fitting dialog). A value entry whose text
// is no number at that moment is refused (Model::end_edit) and queues its value-error callback.
template <class Base>
class EntryField : public Base {
public:
    EntryField(int x, int y, int w, int h) : Base(x, y, w, h) {
        this->when(FL_WHEN_CHANGED);
        this->callback(input_cb);
    }
    bool edited = false;   // changed since the edit began
    double before = 0.0;   // a value entry's number when the edit began

    int handle(int event) override {
        const bool multiline = this->input_type() == FL_MULTILINE_INPUT;
        if (event == FL_KEYBOARD && !multiline && !this->readonly() &&
            (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
            commit();
            return 1;
        }
        if (event == FL_UNFOCUS && edited) commit();
        return Base::handle(event);
    }

private:
    void commit() {
        const bool typed = edited;
        edited = false;
        const int id = widget_id(this);
        Widget* w = model().find(id);
        if (!w) return;
        // Only a typed text is judged: Enter on a number shown as it was set (asterisks for one
        // too wide for its field included) leaves that number alone. The edit ends with what
        // the entry shows, whatever the program wrote into the model meanwhile: a search typed
        // while a pass puts each reflection's h k l there searches what was typed.
        if (typed && !model().end_edit(id, this->value() ? this->value() : "", before)) {
            // Refused: the library shows the box and the number from before the edit.
            model().post_callback(id, Cb::ValueError);
            return;
        }
        model().post_callback(id, Cb::Action);
    }
};

void input_cb(Fl_Widget* b, void*) {
    const int id = widget_id(b);
    Widget* w = model().find(id);
    if (!w) return;
    auto* in = static_cast<Fl_Input_*>(b);
    if (in->readonly()) return;
    auto* one = dynamic_cast<EntryField<Fl_Input>*>(b);
    if (one && !one->edited) {
        one->edited = true;
        one->before = w->value;
    }
    if (auto* multi = dynamic_cast<EntryField<Fl_Multiline_Input>*>(b)) multi->edited = true;
    const char* v = in->value();
    w->text = v ? v : "";
    if (w->kind == KIND_VALUE) {
        double d = 0.0;
        if (read_entry_number(w->text, d) == Typed::Number) w->value = d;
    }
}

// An icon: a built-in image of the program, centred in the icon's cells; a click queues its
// callback (or its select callback when it has only that).
class IconBox : public Fl_Box {
public:
    IconBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    int handle(int event) override {
        if (event == FL_PUSH) {
            const int id = widget_id(this);
            const Widget* w = model().find(id);
            if (w) model().post_callback(id, w->callback(Cb::Action) != 0 ? Cb::Action : Cb::Select);
            return 1;
        }
        return Fl_Box::handle(event);
    }
};

}  // namespace

Fl_Widget* make_entry(bool multiline, int x, int y, int w, int h) {
    if (multiline) return new EntryField<Fl_Multiline_Input>(x, y, w, h);
    return new EntryField<Fl_Input>(x, y, w, h);
}

bool typing_into(const Fl_Widget* entry) {
    if (!entry || Fl::focus() != entry) return false;
    if (auto* one = dynamic_cast<const EntryField<Fl_Input>*>(entry)) return one->edited;
    if (auto* multi = dynamic_cast<const EntryField<Fl_Multiline_Input>*>(entry)) return multi->edited;
    return false;
}

Fl_Widget* make_icon(int x, int y, int w, int h) {
    auto* icon = new IconBox(x, y, w, h);
    icon->box(FL_NO_BOX);
    icon->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE);
    return icon;
}

Fl_Pixmap* program_pixmap(const std::string& name) {
    static std::map<std::string, std::unique_ptr<Fl_Pixmap>> made;
    auto it = made.find(name);
    if (it != made.end()) return it->second.get();
    const std::span<const char* const> xpm = program_image(name);  // as the program registered it
    std::unique_ptr<Fl_Pixmap> p;
    if (!xpm.empty()) p = std::make_unique<Fl_Pixmap>(xpm.data());
    if (!p || p->w() <= 0 || p->h() <= 0) return nullptr;
    return (made[name] = std::move(p)).get();
}

}  // namespace wl::fltk
