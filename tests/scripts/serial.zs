//== a closed port keeps its mode and time-out and sends nothing
// expect: end
// expect output: 0 2 5000 [] 0 0 0 0
// expect output: 1 1 0 1 2 0
s = New Serial();
Print(s.IsOpen(), s.GetMode(), s.GetTimeOut(), "[" + s.GetPortName() + "]", s.Send(1), s.SetTimeOut(5), s.GetRate(), s.ReceiveLong());
b = s.ReceiveBinary();
Print(s.SetMode(Serial.TRANSFER_MODE_RAW), s.GetMode(), Serial.TRANSFER_MODE_UNKNOWN, Serial.TRANSFER_MODE_RAW, Serial.TRANSFER_MODE_ZORVANE, b.GetDataSize());
