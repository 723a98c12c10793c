#pragma once
// Names, descriptions and the keyboard order of the main window's controls,
// for screen readers and for operators who work without a mouse.
namespace pom {

class TForm1;

// A control with a caption keeps it as its name (Qt takes it, without the
// "&", from the caption itself, so the main button's name follows its state);
// a control without one is named after what it holds.
void applyAccessibility(TForm1& form);

} // namespace pom
