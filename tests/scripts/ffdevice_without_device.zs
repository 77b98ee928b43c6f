//== an FFDevice made with New has no device
// expect: end
// expect output: 0 0 [] [] 0 0 -1 -1 0 0 []
d = New FFDevice();
d.DownloadEffect(0); d.UnloadEffect(-1); d.StartEffect(); d.StopEffect(3);
d.PauseAllEffect(); d.ContinueAllEffect(); d.StopAllEffect(); d.ResetAllEffect();
Print(d.GetDeviceType(), d.GetDeviceSubType(), "[" + d.GetDeviceName() + "]",
      "[" + d.GetDeviceProductName() + "]", d.GetAxisCount(), d.GetButtonCount(),
      d.CreateEffectFromFile(), d.CreateEffectFromFile("x.ffe"), d.RunControlPanel(),
      d.GetEffectType(0), "[" + d.GetEffectName(-1) + "]");

//== the constants
// expect: end
// expect output: 0 6 3 5 10 18 0 4 7
Print(FFDevice.EFFECT_TYPE_INVALID, FFDevice.EFFECT_TYPE_PERIODIC, FFDevice.INPUTTYPE_JOYSTICK,
      FFDevice.INPUTMOUSETYPE_TRACKBALL, FFDevice.INPUTKEYBOARDTYPE_PCENH,
      FFDevice.INPUTKEYBOARDTYPE_J3100, FFDevice.INPUTKEYBOARDTYPE_APPLENOTEBOOK,
      FFDevice.INPUTJOYSTICKTYPE_GAMEPAD, FFDevice.INPUTJOYSTICKTYPE_HEADTRACKER);
