#include "host/UserInterface.h"

#include "host/FormModel.h"

namespace storeadjust {

void ShowModal(UserInterface& ui, FormModel& form) {
  if (!form.IsOpen()) form.Load();
  if (form.IsOpen()) ui.RunModal(form);
}

}  // namespace storeadjust
