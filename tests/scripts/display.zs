//== without renderers only the software interface is chosen, and it lists nothing
// expect: end
// expect output: 1 0 0 [] 0
Print(Display.GetDisplayInterface() == Display.SOFTWARE, Display.IsDisplayInterfaceAvailable(Display.OPENGL), Display.GetDisplayDeviceCount(), "[" + Display.GetDisplayInterfaceName() + "]", Display.GetDisplayDevice());

//== asking for a missing interface keeps the software one
// expect: end
// expect output: 1 0
Display.SetDisplayInterface(Display.OPENGL, 0, 0);
Print(Display.GetDisplayInterface() == Display.SOFTWARE, Display.GetDisplayDriver());

//== a device of an interface that cannot be made
// expect: error 88 line 2
Display.GetDisplayDeviceName(Display.SOFTWARE, 0);

//== an interface that is not one of the constants
// expect: error 108 line 2
Display.GetDisplayDeviceCount(7);

//== SetDisplayInterface needs an interface
// expect: error 108 line 2
Display.SetDisplayInterface();

//== EndPolygonChange takes 0 or 1
// expect: error 14 line 4
Display.BeginPolygonChange();
Display.EndPolygonChange(1);
Display.EndPolygonChange(3);

//== a close without an open batch is ignored
// expect: end
// expect output: done
Display.EndPolygonChange();
Display.EndPolygonChange(0);
Display.BeginPolygonChange();
Display.EndPolygonChange();
Print("done");

//== New of the singleton
// expect: error 65 line 2
d = New Display();
