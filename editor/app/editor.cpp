#include "app/editor.h"

#include "connection/port_hint.h"

namespace zelk {

namespace {
std::vector<Control*> onLineControls(FrmMain& m) {
    return {&m.format.cmdUp, &m.trim.cmdUp, &m.eq.cmdUp, &m.optical.cmdUp, &m.options.cmdUp,
            &m.format.Frame1_3, &m.format.Frame1_1, &m.trim.fader.Frame8, &m.optical.cmdMute4,
            &m.eq.fader.Frame8, &m.trim.Frame1_5, &m.trim.Frame1_13, &m.bar.frmtabs[4]};
}
std::vector<Control*> liveControls(FrmMain& m) {
    return {&m.format.Frame1_3, &m.format.Frame1_1, &m.trim.fader.Frame8, &m.eq.fader.Frame8, &m.optical.cmdMute4};
}
}  // namespace

Editor::Editor(Services services, const LinkApi& linkApi, Paths p)
    : svc(services),
      link(linkApi),
      paths(std::move(p)),
      document(main.bar.form),
      dispatch(link, svc.runner, vals, svc.clock, svc.msg, linkEvents,
               [this]() -> Dispatcher::HintJob {
                   // On line here means the port opened and the unit answered
                   // the first question, then stopped answering.
                   const int port = vals.ComPort;
                   if (vals.OnLine) return [port] { return unitStoppedHint(port); };
                   return [port] { return portHint(port); };
               }),
      live(vals, {main.format.cmdMode, main.muteButtons(), main.faderFields(), main.format.sclVol, fader, main.obe},
           svc.ui),
      gate(onLineControls(main), liveControls(main)),
      theaterInfo(vals, document, svc.clock, {main.bar, main.theater, theater, main.format.lblClock}),
      upload(vals, dispatch, document, live, gate, theaterInfo, svc.clock, svc.msg,
             {main.bar, main.uploadButtons(), main.options, main.trim, main.obe}),
      channels(vals, tables, document, {main.eq, main.trim, main.options, main.obe}, svc.msg, upload),
      polling(vals, dispatch, document, upload, channels, {main.bar, ref}),
      portSpeed(vals, dispatch, svc.msg, main.bar),
      connection(vals, dispatch, gate, upload, channels, polling, svc.ui, svc.msg, {main.bar, prog, main.format}),
      fileCmds(vals, document, {dispatch, live, upload, channels, theaterInfo, polling, portSpeed}, svc.files,
               svc.msg, link, paths, {main.bar}),
      lifecycle(vals, document, dispatch, connection, upload, channels, fileCmds, svc.msg, svc.ui, paths,
                {main.bar, splash, main.eq, main.help}),
      levels(vals, dispatch, live, polling, sliderKeys, svc.msg, svc.ui,
             {main.format, {&main.trim.fader, &main.eq.fader, &main.obe.fader}, main.trim, main.obe, fader}),
      equaliser(vals, document, dispatch, channels, upload, tables, svc.ui, main.eq),
      sliders(vals, document, tables, sliderKeys, equaliser, upload, svc.msg, {main.eq, main.trim, main.obe}),
      options(vals, document, dispatch, upload, live, {main.format.cmdMode, main.options, main.obe}),
      tabs(vals, svc.msg, levels, equaliser, connection, upload, main.bar),
      optical(vals, dispatch, levels, live, polling, portSpeed, main.optical),
      service(vals, {dispatch, upload, document, fileCmds, channels}, svc.msg, svc.files, svc.clock, paths,
              {main.bar, compare, asFound, history}),
      siteOverview(vals, {connection, portSpeed, service, document, fileCmds}, svc.msg, svc.files, svc.clock, paths,
                   {main.bar, site}) {
    // Who hears about the link.
    linkEvents.subscribe(connection);
    linkEvents.subscribe(live);
    linkEvents.subscribe(optical);
    linkEvents.subscribe(portSpeed);

    // Every block transfer stops a running measurement's stream first.
    dispatch.setMeasurementStream(&optical);

    // A connection keeps the unit's configuration as found.
    connection.onConnected([this] { service.unitConnected(); });
    // A file opened while on line can be applied to the unit.
    fileCmds.afterOpen = [this] { service.fileOpened(); };

    // What entering and leaving each tab does.
    tabs.onEnter(2, [this] { equaliser.enterTab(); });
    tabs.onEnter(3, [this] { options.enterObeTab(); });
    tabs.onEnter(4, [this] { levels.enterOpticalTab(); });
    tabs.onEnter(6, [this] { theaterInfo.ApplyTheaterTabFields(); });
    tabs.onLeave(1, [this] { levels.leaveTrimTab(); });
    tabs.onLeave(2, [this] { equaliser.leaveTab(); });
    tabs.onLeave(3, [this] { levels.leaveObeTab(); });
    tabs.onLeave(4, [this] { optical.leaveTab(); });
    tabs.onLeave(5, [this] { levels.leaveOptionsTab(); });

    // A new configuration shows its defaults everywhere.
    channels.onResetAll([this] {
        levels.showTestSignalsOff();
        live.ReflectOBEStatus();
    });

    // A clean disconnect switched the test signals off and put the unit
    // back at 9600 bit/s.
    connection.onDisconnected([this] {
        levels.unitQuietened();
        equaliser.unitQuietened();
        portSpeed.showPortAndSpeed();
    });

    // The window opens off line.
    connection.SetConnectStatus(0);
    connection.EnableFrames(false);
}

}  // namespace zelk
