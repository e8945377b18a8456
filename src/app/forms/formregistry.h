#pragma once

#include <QString>

#include <functional>
#include <map>
#include <string>

class QDialog;
class QWidget;

// The forms the navigation area can open, by class name. A form registers itself with one
// line in its own source file:
//   VDUNO_REGISTER_FORM(TProgramowanieTowarow)
// Items whose form is not registered are shown disabled.
using FormFactory = std::function<QDialog*(QWidget* parent)>;

class FormRegistry {
public:
    static bool add(const char* className, FormFactory factory);
    static const FormFactory* find(const char* className);
    static std::map<std::string, FormFactory>& all();
};

#define VDUNO_REGISTER_FORM(cls)                                                                   \
    namespace {                                                                                    \
    const bool formRegistered_##cls =                                                              \
        FormRegistry::add(#cls, [](QWidget* parent) -> QDialog* { return new cls(parent); });      \
    }
