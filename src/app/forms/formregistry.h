#pragma once

#include <QString>

#include <functional>
#include <map>
#include <string>

class AppSession;
class QDialog;
class QWidget;

// The forms the navigation area can open, by class name. A form registers itself with one
// line in its own source file:
//   VDUNO_REGISTER_FORM(TProgramowanieTowarow)
// Items whose form is not registered are shown disabled.
// Each form is built as `TKlasa(AppSession& session, QWidget* parent)`.
using FormFactory = std::function<QDialog*(AppSession& session, QWidget* parent)>;

class FormRegistry {
public:
    static bool add(const char* className, FormFactory factory);
    static const FormFactory* find(const char* className);
    static std::map<std::string, FormFactory>& all();
};

#define VDUNO_REGISTER_FORM(cls)                                                                   \
    namespace {                                                                                    \
    const bool formRegistered_##cls =                                                              \
        FormRegistry::add(#cls, [](AppSession& session, QWidget* parent) -> QDialog* {             \
            return new cls(session, parent);                                                       \
        });                                                                                        \
    }
