// The main window's saved settings and its opacity.
#include "app/course_state.h"
#include "app/form3.h"
#include "appearance/window_opacity.h"
#include "platform/program_folder.h"

#include <QAction>
#include <QMessageBox>

namespace app {

void Form3::C_SaveConfig()
{
    if (writeConfigFile(platform::resolveProgramPath(u"\\confg.Ini"), ConfigValues) || m_saveFailureReported)
        return;
    // The settings stay in effect while the program runs; the learner is told once.
    m_saveFailureReported = true;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lumavo"),
                                QStringLiteral("No se pueden guardar las opciones en \"confg.Ini\": la carpeta del "
                                               "programa no admite escritura. Las opciones elegidas se mantienen "
                                               "hasta que cierre el programa."),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("SaveConfigFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Form3::ZZAlpha()
{
    menus.OpcionesPer->setChecked(false);
    appearance::ApplyOpacity(this, OpacityLevel);
    ConfigValues[Opacity] = OpacityLevel;
    C_SaveConfig();
}

} // namespace app
