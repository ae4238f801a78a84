"""A SOAP 1.1 document/literal service built with spyne, for the engine's interoperability tests.

Usage: /usr/bin/python3 spyne_service.py <port> [--strict] [--exit-with-stdin]
(port 0 picks a free one)

--strict validates every request against the schema (lxml) and answers a Client fault when it
does not conform; without it spyne reads leniently, as most services do.
--exit-with-stdin ends the service when its stdin reaches end of file, so a test process that
dies without cleaning up (a crash, a timeout kill) does not leave the service behind.

Serves on 127.0.0.1, the WSDL at /?wsdl. Prints "PORT <n>" on stdout once listening, or
"MISSING <reason>" and exits with status 3 when spyne cannot be imported, so the caller can
tell a machine without spyne from a broken service.
"""

import datetime
import logging
import os
import sys
import threading

try:
    from spyne import (Application, Array, Boolean, ComplexModel, DateTime, Double, Fault, Float,
                       Integer, ServiceBase, Unicode, rpc)
    from spyne.protocol.soap import Soap11
    from spyne.server.wsgi import WsgiApplication
except ImportError as error:
    print("MISSING spyne is not importable: %s" % error, flush=True)
    sys.exit(3)

from wsgiref.simple_server import WSGIRequestHandler, make_server

NAMESPACE = "urn:interop:spyne"


class Options(ComplexModel):
    """One required field and three optional ones; the service reports which arrived."""
    __namespace__ = NAMESPACE
    _type_info = [
        ("name", Unicode(min_occurs=1, nillable=False)),
        ("nickname", Unicode(min_occurs=0)),
        ("age", Integer(min_occurs=0)),
        ("note", Unicode(min_occurs=0)),
    ]


class Address(ComplexModel):
    __namespace__ = NAMESPACE
    _type_info = [
        ("street", Unicode),
        ("city", Unicode),
        ("postcode", Unicode),
    ]


class Person(ComplexModel):
    __namespace__ = NAMESPACE
    _type_info = [
        ("name", Unicode),
        ("age", Integer),
        ("address", Address),
    ]


class AuthHeader(ComplexModel):
    __namespace__ = NAMESPACE
    _type_info = [
        ("user", Unicode),
        ("token", Unicode),
    ]


class SessionHeader(ComplexModel):
    __namespace__ = NAMESPACE
    _type_info = [
        ("sessionId", Unicode),
        ("user", Unicode),
    ]


class SimpleValues(ComplexModel):
    __namespace__ = NAMESPACE
    _type_info = [
        ("text", Unicode),
        ("count", Integer),
        ("single", Float),
        ("ratio", Double),
        ("flag", Boolean),
        ("when", DateTime),
    ]


class InteropService(ServiceBase):
    @rpc(Array(Integer), _returns=Integer)
    def SumIntegers(ctx, numbers):
        return sum(n for n in (numbers or []) if n is not None)

    @rpc(Array(Unicode), _returns=Array(Unicode))
    def ReverseStrings(ctx, words):
        return list(reversed(words or []))

    @rpc(Options, _returns=Unicode)
    def DescribeOptions(ctx, options):
        # "field=value" for every field that arrived, in schema order; absent fields are None.
        if options is None:
            return ""
        present = []
        for field in ("name", "nickname", "age", "note"):
            value = getattr(options, field)
            if value is not None:
                present.append("%s=%s" % (field, value))
        return ";".join(present)

    @rpc(Person, Unicode, _returns=Person)
    def RelocatePerson(ctx, person, newCity):
        # Reads every nested value and sends the person back one year older in the new city,
        # so the answer proves the request's nesting was understood.
        if person is None:
            raise Fault(faultcode="Client", faultstring="no person")
        address = person.address or Address()
        return Person(name=person.name, age=(person.age or 0) + 1,
                      address=Address(street=address.street, city=newCity,
                                      postcode=address.postcode))

    @rpc(_returns=Unicode, _in_header=(AuthHeader,), _out_header=(SessionHeader,))
    def WhoAmI(ctx):
        header = ctx.in_header
        if header is None or not header.user:
            raise Fault(faultcode="Client", faultstring="missing AuthHeader")
        ctx.out_header = SessionHeader(sessionId="session-%s" % header.token, user=header.user)
        return "hello %s" % header.user

    @rpc(Unicode, Boolean, _returns=Unicode)
    def FailOnDemand(ctx, reason, withDetail):
        if not reason:
            return "no fault"
        if withDetail:
            raise Fault(faultcode="Client", faultstring="refused: %s" % reason,
                        detail={"reason": reason})
        raise Fault(faultcode="Client", faultstring="refused: %s" % reason)

    @rpc(SimpleValues, _returns=SimpleValues)
    def TransformSimple(ctx, values):
        # Each value changed in a way only a correct parse allows.
        return SimpleValues(text=(values.text or "").upper(),
                            count=(values.count or 0) + 1,
                            single=(values.single or 0.0) * 2,
                            ratio=(values.ratio or 0.0) / 4,
                            flag=not values.flag,
                            when=(values.when + datetime.timedelta(days=1, seconds=90)
                                  if values.when else None))


class QuietHandler(WSGIRequestHandler):
    def log_message(self, *args):  # the test output is no place for an access log
        pass


def exit_when_stdin_closes():
    sys.stdin.buffer.read()  # returns at end of file: whoever started us is gone
    os._exit(0)


def main():
    # Client faults are what the tests ask for; their tracebacks would only bury real errors.
    logging.getLogger("spyne.application.client").disabled = True
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    strict = "--strict" in sys.argv[2:]
    if "--exit-with-stdin" in sys.argv[2:]:
        threading.Thread(target=exit_when_stdin_closes, daemon=True).start()
    application = Application([InteropService], tns=NAMESPACE, name="Interop",
                              in_protocol=Soap11(validator="lxml" if strict else None),
                              out_protocol=Soap11())
    server = make_server("127.0.0.1", port, WsgiApplication(application),
                         handler_class=QuietHandler)
    print("PORT %d" % server.server_port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
